// The real program under a private X server with an XEmbed tray (trayer) and
// a window manager (openbox): minimised, it hides into the tray; when the tray
// goes away it shows its window again; without a tray it minimises normally.
// Skipped where Xvfb, openbox, trayer, xdotool or xwininfo are missing.

#include "install/install_tree.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

#include <gtest/gtest.h>

#include <unistd.h>

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
        for (const char* tool : {"Xvfb", "openbox", "trayer", "xdotool", "xwininfo"})
            if (QStandardPaths::findExecutable(tool).isEmpty())
                GTEST_SKIP() << tool << " is not installed";
        // A display number of our own: free now, and unlikely to be taken by
        // a test running beside this one.
        for (int n = 200 + ::getpid() % 300; n < 1000 && xvfb == nullptr; ++n) {
            if (QFileInfo::exists(QString("/tmp/.X11-unix/X%1").arg(n)) || QFileInfo::exists(QString("/tmp/.X%1-lock").arg(n)))
                continue;
            display = QString(":%1").arg(n);
            xvfb = std::make_unique<helper>("Xvfb", QStringList{display, "-screen", "0", "1024x768x24", "-nolisten", "tcp"}, env);
            if (!wait_for([&] { return QFileInfo::exists(QString("/tmp/.X11-unix/X%1").arg(n)); }, 5000) ||
                xvfb->process.state() != QProcess::Running)
                xvfb.reset();
        }
        ASSERT_NE(xvfb, nullptr) << "no X server could be started";
        env.insert("DISPLAY", display);
        env.remove("QT_QPA_PLATFORM");
        env.remove("WAYLAND_DISPLAY");
        env.remove("DBUS_SESSION_BUS_ADDRESS");  // no StatusNotifier host: the XEmbed tray is the one
        env.insert("HOME", user.home);
        env.insert("XDG_RUNTIME_DIR", user.runtime);
        wm = std::make_unique<helper>("openbox", QStringList{}, env);
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
    const QString folder = user.root.path() + "planner/";
    QDir().mkpath(folder);
    ASSERT_TRUE(QFile::copy(QStringLiteral(QUILLMERE_EXECUTABLE), folder + "quillmere"));
    helper running(folder + "quillmere", {}, env);  // ended at the end, whatever happens
    QProcess& program = running.process;
    ASSERT_TRUE(program.state() == QProcess::Running);
    ASSERT_TRUE(user.wait_until_running(program, folder + "ferncastle.db"))
        << program.readAllStandardError().toStdString();

    QString window;
    ASSERT_TRUE(wait_for([&] {
        window = tool("xdotool", {"search", "--onlyvisible", "--name", "^Quillmere Planner"}).section('\n', 0, 0);
        return !window.isEmpty();
    }));

    // Managed by the window manager, and the tray has had the time to take
    // the icon, as it would have long before a user minimises.
    ASSERT_TRUE(wait_for([&] { return tool("xprop", {"-id", window, "WM_STATE"}).contains("Normal"); }));
    QThread::msleep(1500);

    // With the tray: minimising hides the window (no longer mapped at all).
    tool("xdotool", {"windowminimize", window});
    EXPECT_TRUE(wait_for([&] { return map_state(window) == "IsUnMapped"; })) << map_state(window).toStdString();
    EXPECT_TRUE(tool("xprop", {"-id", window, "WM_STATE"}).contains("not found"))
        << "withdrawn, not iconic: " << tool("xwininfo", {"-root", "-tree"}).toStdString();

    // The tray goes away: the window comes back by itself.
    tray->stop();
    EXPECT_TRUE(wait_for([&] { return map_state(window) == "IsViewable"; })) << map_state(window).toStdString();

    // No tray now: minimising leaves an ordinary minimised window.
    tool("xdotool", {"windowminimize", window});
    EXPECT_TRUE(wait_for([&] { return tool("xprop", {"-id", window, "WM_STATE"}).contains("Iconic"); }))
        << tool("xprop", {"-id", window, "WM_STATE"}).toStdString();
    QThread::msleep(2500);  // longer than the tray watch: still only minimised
    EXPECT_TRUE(tool("xprop", {"-id", window, "WM_STATE"}).contains("Iconic"));

    EXPECT_EQ(user.end(program), 1);
}
