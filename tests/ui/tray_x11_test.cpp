// The real program under a private X server with an XEmbed tray (trayer) and
// a window manager (openbox): minimised, it hides into the tray; when the tray
// goes away it shows its window again; without a tray it minimises normally.
// Skipped where Xvfb, openbox, trayer, xdotool, xwininfo or xprop are missing.

#include "install/install_tree.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

#include <gtest/gtest.h>


#include <functional>

using namespace qm;

namespace {

bool wait_for(const std::function<bool()>& condition, int ms = 10000)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        if (condition())
            return true;
        QThread::msleep(100);
    }
    return condition();
}

// A helper process on the private display, ended by its own id.
struct helper {
    QProcess process;
    helper(const QString& program, const QStringList& arguments, const QProcessEnvironment& env)
    {
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(QDir::tempPath());
        // What a helper says on standard error goes straight to the test's
        // output: a pipe nobody drains would stop it once full.
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(program, arguments);
        process.waitForStarted(10000);
    }
    ~helper() { stop(); }
    void stop()
    {
        if (process.state() == QProcess::NotRunning)
            return;
        process.terminate();
        if (!process.waitForFinished(5000)) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
};

struct x11_tray : ::testing::Test {
    test::planner_user user;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    std::unique_ptr<helper> xvfb, wm, tray;
    QString display;

    void SetUp() override
    {
        for (const char* tool : {"Xvfb", "openbox", "trayer", "xdotool", "xwininfo", "xprop"})
            if (QStandardPaths::findExecutable(tool).isEmpty())
                GTEST_SKIP() << tool << " is not installed";
        // The server picks a free display itself and tells its number.
        xvfb = std::make_unique<helper>("Xvfb", QStringList{"-displayfd", "1", "-screen", "0", "1024x768x24",
                                                            "-nolisten", "tcp"}, env);
        ASSERT_TRUE(xvfb->process.waitForReadyRead(20000)) << "no X server could be started";
        display = ":" + QString::fromUtf8(xvfb->process.readLine()).trimmed();
        env.insert("DISPLAY", display);
        env.remove("QT_QPA_PLATFORM");
        env.remove("WAYLAND_DISPLAY");
        env.remove("DBUS_SESSION_BUS_ADDRESS");  // no StatusNotifier host: the XEmbed tray is the one
        env.insert("HOME", user.home);
        env.insert("XDG_RUNTIME_DIR", user.runtime);
        ASSERT_TRUE(wait_for([&] { return tool("xwininfo", {"-root"}).contains("Map State"); })) << "X server " << display.toStdString();
        wm = std::make_unique<helper>("openbox", QStringList{}, env);
        ASSERT_TRUE(wait_for([&] { return !tool("xprop", {"-root", "-notype", "_NET_SUPPORTING_WM_CHECK"}).contains("not found"); }))
            << "openbox did not start";
    }

    QString tool(const QString& program, const QStringList& arguments)
    {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(program, arguments);
        p.waitForFinished(10000);
        return QString::fromUtf8(p.readAllStandardOutput());
    }

    void start_tray()
    {
        tray = std::make_unique<helper>("trayer", QStringList{"--edge", "bottom", "--align", "right", "--widthtype",
                                                              "pixel", "--width", "100", "--height", "24"},
                                        env);
        ASSERT_TRUE(wait_for([&] { return !tool("xdotool", {"search", "--class", "trayer"}).trimmed().isEmpty(); }));
    }

    // Starts a portable copy of the program on the display, waits until it
    // runs and its window is managed; returns the window's id.
    QString start_program(std::unique_ptr<helper>& program)
    {
        const QString folder = user.root.path() + "planner/";
        QDir().mkpath(folder);
        QFile::copy(QStringLiteral(QUILLMERE_EXECUTABLE), folder + "quillmere");
        program = std::make_unique<helper>(folder + "quillmere", QStringList{}, env);
        if (!user.wait_until_running(program->process, folder + "ferncastle.db")) {
            ADD_FAILURE() << program->process.readAllStandardError().toStdString();
            return QString();
        }
        QString window;
        wait_for([&] {
            // The main window's title carries the version; the tray icon's
            // own little window is named after the program alone.
            window = tool("xdotool", {"search", "--onlyvisible", "--name", "^Quillmere Planner [0-9]"})
                         .section('\n', 0, 0);
            return !window.isEmpty();
        }, 20000);
        EXPECT_FALSE(window.isEmpty()) << "no window: " << tool("xwininfo", {"-root", "-tree"}).toStdString();
        // Managed by the window manager, and the tray has had the time to
        // take the icon, as it would have long before a user minimises.
        // Openbox on a fresh server now and then leaves a window unmanaged; a
        // window manager started with --replace takes every window there is.
        if (!wait_for([&] { return wm_state(window).contains("Normal"); }, 5000))
            wm = std::make_unique<helper>("openbox", QStringList{"--replace"}, env);
        EXPECT_TRUE(wait_for([&] { return wm_state(window).contains("Normal"); }));
        QThread::msleep(1500);
        return window;
    }

    QString wm_state(const QString& window) { return tool("xprop", {"-id", window, "WM_STATE"}); }

    // Hidden into the tray: not mapped, and not a minimised (iconic) window either.
    bool hidden(const QString& window)
    {
        return map_state(window) == "IsUnMapped" && wm_state(window).contains("not found");
    }

    QString map_state(const QString& window)
    {
        const QString info = tool("xwininfo", {"-id", window});
        const int at = info.indexOf("Map State: ");
        return at < 0 ? QString() : info.mid(at + 11).section('\n', 0, 0).trimmed();
    }
};

}  // namespace

TEST_F(x11_tray, hidesIntoTheTrayOnlyWhileATrayCanGiveTheWindowBack)
{
    start_tray();
    std::unique_ptr<helper> program;
    const QString window = start_program(program);
    ASSERT_FALSE(window.isEmpty());

    // With the tray: minimising hides the window.
    tool("xdotool", {"windowminimize", window});
    EXPECT_TRUE(wait_for([&] { return hidden(window); })) << map_state(window).toStdString() << wm_state(window).toStdString();

    // The tray goes away: the window comes back by itself.
    tray->stop();
    EXPECT_TRUE(wait_for([&] { return map_state(window) == "IsViewable"; })) << map_state(window).toStdString();

    // No tray now: minimising leaves an ordinary minimised window.
    tool("xdotool", {"windowminimize", window});
    EXPECT_TRUE(wait_for([&] { return wm_state(window).contains("Iconic"); })) << wm_state(window).toStdString();
    QThread::msleep(2500);  // longer than the tray watch: still only minimised
    EXPECT_TRUE(wm_state(window).contains("Iconic"));

    EXPECT_EQ(user.end(program->process), 1);
}
