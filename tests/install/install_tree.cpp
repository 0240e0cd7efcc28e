#include "install/install_tree.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <gtest/gtest.h>

#include <signal.h>

namespace qm::test {

int run_tool(const QString& program, const QStringList& arguments, QString* output, int ms)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, arguments);
    if (!p.waitForStarted(10000))
        return -1;
    const bool ended = p.waitForFinished(ms);
    if (output != nullptr)
        *output = QString::fromUtf8(p.readAll());
    if (!ended) {
        p.kill();
        p.waitForFinished(5000);
        return -1;
    }
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

void install_into(const QString& prefix)
{
    QString output;
    const int code = run_tool(QStringLiteral(QUILLMERE_CMAKE),
                              {"--install", QStringLiteral(QUILLMERE_BUILD_DIR), "--prefix", prefix}, &output);
    ASSERT_EQ(code, 0) << output.toStdString();
}

planner_user::planner_user()
{
    home = root.path() + "home/";
    runtime = root.path() + "runtime";
    QDir().mkpath(home);
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

std::unique_ptr<QProcess> planner_user::start(const QString& program) const
{
    auto p = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_RUNTIME_DIR", runtime);
    env.insert("HOME", home);
    // The user's folders follow from HOME alone, as on a fresh account.
    for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"})
        env.remove(name);
    p->setProcessEnvironment(env);
    p->setWorkingDirectory(root.path());
    p->start(program, {});
    EXPECT_TRUE(p->waitForStarted(10000)) << program.toStdString();
    return p;
}

bool planner_user::wait_until_running(QProcess& p, const QString& file, int ms) const
{
    const QString socket = runtime + "/quillmere-planner.sock";
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms && p.state() == QProcess::Running) {
        if (QFileInfo::exists(file) && QFileInfo::exists(socket))
            return true;
        QThread::msleep(50);
    }
    return false;
}

int planner_user::end(QProcess& p) const
{
    if (p.state() == QProcess::Running)
        ::kill(static_cast<pid_t>(p.processId()), SIGTERM);
    EXPECT_TRUE(p.waitForFinished(30000)) << "still running";
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

}  // namespace qm::test
