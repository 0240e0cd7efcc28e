// Runs the platform layer on the display it is given, for the X11 tests:
//   grab        takes Win+; and prints "grabbed" or "refused", then "pressed"
//               for each press until it is ended
//   idle        prints the idle seconds, twice, two seconds apart
//   fullscreen  shows a window full screen and prints whether one blocks
//   normal      shows an ordinary window and prints the same

#include "platform/desktop.h"
#include "platform/hot_key.h"

#include <QGuiApplication>
#include <QRasterWindow>
#include <QThread>
#include <QTimer>

#include <cstdio>

using namespace qm::platform;

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QString what = argc > 1 ? QString::fromLatin1(argv[1]) : QString();
    auto say = [](const QString& text) {
        std::printf("%s\n", qPrintable(text));
        std::fflush(stdout);
    };
    if (what == QLatin1String("grab")) {
        std::unique_ptr<hot_key> key = make_hot_key();
        key->pressed = [&] { say(QStringLiteral("pressed")); };
        const grab_result r = key->grab(8, 186);
        say(r == grab_result::grabbed ? QStringLiteral("grabbed") : QStringLiteral("refused"));
        return app.exec();
    }
    std::unique_ptr<desktop> d = make_desktop();
    if (what == QLatin1String("idle")) {
        say(QString::number(d->idle_seconds().value_or(-1)));
        QThread::sleep(2);
        say(QString::number(d->idle_seconds().value_or(-1)));
        return 0;
    }
    QRasterWindow window;
    window.setTitle(QStringLiteral("Probe window"));
    if (what == QLatin1String("fullscreen"))
        window.showFullScreen();
    else
        window.show();
    QTimer::singleShot(1500, &app, [&] {
        say(fullscreen_window_present(d->top_level_windows(), d->screens(), {}, {}) ? QStringLiteral("blocks")
                                                                                   : QStringLiteral("free"));
        say(fullscreen_window_present(d->top_level_windows(), d->screens(), {}, {QStringLiteral("probe")})
                ? QStringLiteral("blocks")
                : QStringLiteral("free"));
        app.quit();
    });
    return app.exec();
}
