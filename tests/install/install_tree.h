#pragma once
// Installing the built program into a temporary prefix and running the
// installed copy as a user would, with a home folder of its own.

#include "support/test_support.h"

#include <QProcess>
#include <QString>

#include <memory>

namespace qm::test {

// Runs a program to its end; returns its exit code (-1 when it could not
// start or did not end in time) and what it printed.
int run_tool(const QString& program, const QStringList& arguments, QString* output = nullptr, int ms = 120000);

// "cmake --install" of the build tree into prefix; fails the test on error.
void install_into(const QString& prefix);

// A user of the planner: a home folder and a runtime folder of his own.
struct planner_user {
    temp_folder root;
    QString home, runtime;

    planner_user();
    // The per-user data folder an installed copy uses.
    QString data_folder() const { return home + ".local/share/Quillmere Planner/"; }

    // Starts the program headless as this user.
    std::unique_ptr<QProcess> start(const QString& program) const;
    // Waits until the program has made file and answers on its socket.
    bool wait_until_running(QProcess& p, const QString& file, int ms = 20000) const;
    // Ends it as the session would (SIGTERM) and returns its exit code.
    int end(QProcess& p) const;
};

}  // namespace qm::test
