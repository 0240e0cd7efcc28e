#include "app/single_instance.h"
#include "support/test_support.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <thread>

#include <gtest/gtest.h>

using namespace qm;

TEST(single_instance, secondCopyAsksTheFirstToShowItself)
{
    test::temp_folder folder;
    app::single_instance first("planner", folder.path());
    ASSERT_TRUE(first.acquire());
    ASSERT_TRUE(first.listen());
    int shown = 0;
    QObject::connect(&first, &app::single_instance::show_requested, [&] { ++shown; });

    app::single_instance other("planner", folder.path());
    QElapsedTimer timer;
    timer.start();
    bool sent = false;
    // Ask from a helper thread so this thread keeps serving the first copy.
    std::thread asker([&] { sent = other.ask_running_copy_to_show(3000); });
    while (shown == 0 && timer.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    asker.join();
    EXPECT_TRUE(sent);
    EXPECT_EQ(shown, 1);
}

TEST(single_instance, askingWithNobodyListeningFailsInTime)
{
    test::temp_folder folder;
    app::single_instance lonely("planner", folder.path());
    EXPECT_FALSE(lonely.ask_running_copy_to_show(300));
}
