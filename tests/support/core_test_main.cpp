// Test main for everything below the user interface: a QCoreApplication with
// a fixed locale, time zone and runtime folder, so results never depend on
// the machine.

#include <QCoreApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

int main(int argc, char** argv)
{
    // A test may ask for another locale to check that system formats follow it.
    const char* wanted = getenv("QUILLMERE_TEST_LOCALE");
    const char* locale = wanted != nullptr ? wanted : "C.UTF-8";
    setenv("LANG", locale, 1);
    setenv("LC_ALL", locale, 1);
    setenv("TZ", "UTC", 1);
    tzset();
    QTemporaryDir runtime;
    setenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit().constData(), 1);
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::GTEST_FLAG(death_test_style) = "threadsafe";
    return RUN_ALL_TESTS();
}
