#include "support/test_support.h"

#include "app/message_box.h"

#include <QFile>

#include <linux/capability.h>
#include <sqlite3.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <mutex>
#include <thread>

namespace qm::test {

temp_folder::temp_folder() { dir_.setAutoRemove(true); }

QString temp_folder::path() const { return dir_.path() + QLatin1Char('/'); }

fixed_clock::fixed_clock(std::int64_t utc_seconds, int offset_seconds)
    : utc_(std::make_shared<std::int64_t>(utc_seconds))
{
    auto utc = utc_;
    time::set_clock_source(time::clock_source{[utc] { return *utc; }, [offset_seconds](std::int64_t) {
                                                  return offset_seconds;
                                              }});
}

fixed_clock::~fixed_clock() { time::reset_clock_source(); }

void fixed_clock::set(std::int64_t utc_seconds) { *utc_ = utc_seconds; }

app::data_folder_locator portable_locator(const QString& folder)
{
    app::folder_facts facts;
    facts.program_folder = folder;
    facts.user_data_folder = folder + QStringLiteral("user-data");
    return app::data_folder_locator(facts);
}

started_core::started_core() : owned_(std::make_unique<temp_folder>()), folder_(owned_->path())
{
    restart();
}

started_core::started_core(const QString& folder) : folder_(folder) { restart(); }

QString started_core::database_path() const { return folder_ + QStringLiteral("ferncastle.db"); }

store::database& started_core::drain_and_reopen()
{
    core_->shutdown();
    reader_ = open_file(database_path());
    return *reader_;
}

void started_core::restart()
{
    reader_.reset();
    core_.reset();
    core_ = std::make_unique<app::core>(portable_locator(folder_));
    core_->start();
}

void run_as_plain_user(const std::function<void()>& work)
{
    std::thread plain([&work] {
        // Capabilities belong to a thread: dropping them here leaves the
        // rest of the test process as it was.
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct data[2]{};
        if (syscall(SYS_capget, &header, data) == 0) {
            for (int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER})
                data[CAP_TO_INDEX(cap)].effective &= ~CAP_TO_MASK(cap);
            syscall(SYS_capset, &header, data);
        }
        work();
    });
    plain.join();
}

void make_read_only(const QString& path)
{
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadUser |
                                    QFileDevice::ExeUser);
}

void make_writable(const QString& path)
{
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                    QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser);
}

struct recorded_messages::recorder : app::message_presenter {
    mutable std::mutex mutex;
    QStringList texts;
    void show_error(const QString& caption, const QString& text) override
    {
        std::lock_guard<std::mutex> lock(mutex);
        texts << caption + QStringLiteral(": ") + text;
    }
};

recorded_messages::recorded_messages() : recorder_(std::make_shared<recorder>())
{
    app::set_message_presenter(recorder_);
}

recorded_messages::~recorded_messages() { app::set_message_presenter(nullptr); }

QStringList recorded_messages::texts() const
{
    std::lock_guard<std::mutex> lock(recorder_->mutex);
    return recorder_->texts;
}

std::vector<QStringList> query(store::database& db, const QString& sql)
{
    std::vector<QStringList> rows;
    store::statement s = db.prepare(sql);
    const int columns = sqlite3_column_count(s);
    while (!db.step(s)) {
        QStringList row;
        for (int c = 1; c <= columns; ++c)
            row << db.column_text(s, c);
        rows.push_back(row);
    }
    db.finalize(s);
    return rows;
}

std::unique_ptr<store::database> open_file(const QString& path)
{
    auto db = std::make_unique<store::database>();
    db->open(path);
    db->set_busy_timeout(60000);
    return db;
}

}  // namespace qm::test
