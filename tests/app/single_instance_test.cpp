#include "app/single_instance.h"
#include "support/test_support.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
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

// A lock that cannot be made is not a running copy: the reason is said and
// the program starts, unless another copy answers on the socket.
TEST(single_instance, aLockThatCannotBeMadeIsReportedAndStartsWhenNoCopyAnswers)
{
    struct row {
        const char* what;
        bool read_only;     // the folder refuses writes
        bool missing;       // the folder does not exist
        bool other_copy;    // another copy listens on the socket
        bool expect_first;
        const char* expect_reason;  // nullptr: nothing is reported
    };
    const row cases[] = {
        {"a read-only folder, nobody running", true, false, false, true, "permission to write in"},
        {"a missing folder", false, true, false, true, "does not exist"},
        {"a read-only folder, another copy answering", true, false, true, false, nullptr},
        {"the lock held by another copy", false, false, true, false, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::temp_folder root;
        const QString folder = root.path() + (c.missing ? "missing" : "runtime");
        if (!c.missing) {
            ASSERT_TRUE(QDir().mkpath(folder));
        }
        std::unique_ptr<app::single_instance> other;
        if (c.other_copy) {
            other = std::make_unique<app::single_instance>("planner", folder);
            ASSERT_TRUE(other->acquire());
            ASSERT_TRUE(other->listen());
            if (c.read_only)
                QFile::remove(other->lock_path());  // so that the lock must be made again
        }
        if (c.read_only)
            test::make_read_only(folder);

        test::recorded_messages messages;
        bool first = false;
        app::single_instance copy("planner", folder);
        test::run_as_plain_user([&] { first = copy.acquire(); });
        test::make_writable(folder);

        EXPECT_EQ(first, c.expect_first);
        if (c.expect_reason == nullptr) {
            EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join('\n').toStdString();
        } else {
            ASSERT_EQ(messages.texts().size(), 1);
            const QString text = messages.texts()[0];
            EXPECT_TRUE(text.contains(copy.lock_path())) << text.toStdString();
            EXPECT_TRUE(text.contains(c.expect_reason)) << text.toStdString();
        }
    }
}
