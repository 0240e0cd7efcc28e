// The platform layer on a private X server with openbox: the hot key grab
// and a key press from xdotool, a second client refused the same grab, the
// idle seconds of the real XScreenSaver extension, and a full-screen window
// against an ordinary one. Skipped where Xvfb, openbox or xdotool is missing.

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <gtest/gtest.h>

#include <functional>

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

struct helper {
    QProcess process;
    helper(const QString& program, const QStringList& arguments, const QProcessEnvironment& env, bool merge = false)
    {
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(merge ? QProcess::SeparateChannels : QProcess::ForwardedErrorChannel);
        process.start(program, arguments);
        process.waitForStarted(10000);
    }
    ~helper()
    {
        if (process.state() == QProcess::NotRunning)
            return;
        process.terminate();
        if (!process.waitForFinished(5000)) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
    QString output()
    {
        process.waitForReadyRead(100);
        seen += QString::fromUtf8(process.readAllStandardOutput());
        return seen;
    }
    QString seen;
};

struct platform_x11 : ::testing::Test {
    std::unique_ptr<helper> xvfb, wm;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();

    void SetUp() override
    {
        for (const char* tool : {"Xvfb", "openbox", "xdotool"})
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
                GTEST_SKIP() << tool << " is missing";
        // The server picks a free display itself and tells its number: two
        // tests choosing one by its lock file at once could share a display,
        // and each other's input.
        xvfb = std::make_unique<helper>(QStringLiteral("Xvfb"),
                                        QStringList{"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"},
                                        env);
        ASSERT_TRUE(xvfb->process.waitForReadyRead(20000)) << "no X server could be started";
        env.insert("DISPLAY", ":" + QString::fromUtf8(xvfb->process.readLine()).trimmed());
        env.insert("QT_QPA_PLATFORM", "xcb");
        wm = std::make_unique<helper>(QStringLiteral("openbox"), QStringList{}, env);
        QThread::msleep(800);
    }
    std::unique_ptr<helper> probe(const QString& what)
    {
        return std::make_unique<helper>(QStringLiteral(QUILLMERE_PLATFORM_PROBE), QStringList{what}, env, true);
    }
    void xdotool(const QStringList& arguments)
    {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral("xdotool"), arguments);
        p.waitForFinished(10000);
    }
};

TEST_F(platform_x11, theHotKeyIsGrabbedPressedAndRefusedToASecondClient)
{
    auto first = probe("grab");
    ASSERT_TRUE(wait_for([&] { return first->output().contains("grabbed"); })) << first->seen.toStdString();
    xdotool({"key", "super+semicolon"});
    EXPECT_TRUE(wait_for([&] { return first->output().contains("pressed"); })) << first->seen.toStdString();

    auto second = probe("grab");
    EXPECT_TRUE(wait_for([&] { return second->output().contains("refused"); })) << second->seen.toStdString();
}

TEST_F(platform_x11, idleSecondsGrowWhileNoInputArrives)
{
    xdotool({"mousemove", "10", "10"});
    auto p = probe("idle");
    ASSERT_TRUE(p->process.waitForFinished(15000));
    const QStringList lines = p->output().split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << p->seen.toStdString();
    EXPECT_GE(lines[0].toInt(), 0);
    EXPECT_GE(lines[1].toInt(), lines[0].toInt() + 1);
}

TEST_F(platform_x11, aFullScreenWindowBlocksAndAnOrdinaryOneDoesNot)
{
    auto full = probe("fullscreen");
    ASSERT_TRUE(full->process.waitForFinished(15000));
    // The second answer excuses the window by a piece of its title.
    EXPECT_EQ(full->output().split('\n', Qt::SkipEmptyParts), (QStringList{"blocks", "free"}));
    auto normal = probe("normal");
    ASSERT_TRUE(normal->process.waitForFinished(15000));
    EXPECT_EQ(normal->output().split('\n', Qt::SkipEmptyParts), (QStringList{"free", "free"}));
}

}  // namespace
