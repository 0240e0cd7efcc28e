#include "app/crash_handler.h"

#include <execinfo.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <limits>

namespace qm::app {
namespace {

constexpr int max_alternatives = 1001;
constexpr int lettered_alternatives = 26;

// Everything the handler needs is prepared before a crash: inside a signal
// handler only async-signal-safe calls and fixed buffers may be used.
constexpr std::size_t path_capacity = 4096;
char folder_buffer[path_capacity];
std::size_t folder_length = 0;

// The handler must also run when the stack has overflowed, so it gets a
// stack of its own.
alignas(16) char alternate_stack[1 << 16];

// The local offset can change while the program runs (summer time), but the
// C library's local-time functions take locks and are not safe in a signal
// handler. So the offsets from shortly before the start until well past any
// likely run are worked out in advance: each entry holds from when on (UTC
// seconds) an offset applies.
struct offset_change {
    long long from;
    long offset;
};
constexpr int max_offset_changes = 128;
offset_change offset_changes[max_offset_changes];
int offset_change_count = 0;

long local_offset_at(long long utc)
{
    const std::time_t t = static_cast<std::time_t>(utc);
    std::tm local{};
    if (::localtime_r(&t, &local) == nullptr)
        return 0;
    return local.tm_gmtoff;
}

void prepare_offsets(long long now)
{
    constexpr long long step = 3 * 3600;
    constexpr long long horizon = 400LL * 24 * 3600;
    long long at = now - 2 * 24 * 3600;
    long offset = local_offset_at(at);
    offset_change_count = 0;
    offset_changes[offset_change_count++] = {std::numeric_limits<long long>::min(), offset};
    // Zones change their offset a few times a year at most, never twice
    // within hours, so samples three hours apart find every change; each is
    // then narrowed down to its second.
    for (long long next = at + step; next <= now + horizon && offset_change_count < max_offset_changes; next += step) {
        const long next_offset = local_offset_at(next);
        if (next_offset == offset)
            continue;
        long long before = next - step, after = next;
        while (after - before > 1) {
            const long long middle = before + (after - before) / 2;
            (local_offset_at(middle) == offset ? before : after) = middle;
        }
        offset_changes[offset_change_count++] = {after, next_offset};
        offset = next_offset;
    }
}

long offset_at(long long utc)
{
    long offset = offset_changes[0].offset;
    for (int i = 1; i < offset_change_count && offset_changes[i].from <= utc; ++i)
        offset = offset_changes[i].offset;
    return offset;
}

// Appends text to buf at *len, never past cap - 1; keeps buf terminated.
void append(char* buf, std::size_t cap, std::size_t* len, const char* text)
{
    while (*text != '\0' && *len + 1 < cap)
        buf[(*len)++] = *text++;
    buf[*len] = '\0';
}

void append_number(char* buf, std::size_t cap, std::size_t* len, long value, int min_digits = 1)
{
    char digits[24];
    int n = 0;
    unsigned long v = value < 0 ? static_cast<unsigned long>(-value) : static_cast<unsigned long>(value);
    do {
        digits[n++] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v != 0 && n < 23);
    while (n < min_digits && n < 23)
        digits[n++] = '0';
    if (value < 0)
        append(buf, cap, len, "-");
    char out[24];
    for (int i = 0; i < n; ++i)
        out[i] = digits[n - 1 - i];
    out[n] = '\0';
    append(buf, cap, len, out);
}

// Civil date from days since 1970-01-01, without the C library's locks.
void civil_from_days(long long z, long* y, unsigned* m, unsigned* d)
{
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long yy = static_cast<long>(yoe + era * 400);
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    *d = doy - (153 * mp + 2) / 5 + 1;
    *m = mp < 10 ? mp + 3 : mp - 9;
    *y = yy + (*m <= 2 ? 1 : 0);
}

void build_name(char* buf, std::size_t cap, const char* date, int alternative)
{
    std::size_t len = 0;
    buf[0] = '\0';
    append(buf, cap, &len, folder_buffer);
    append(buf, cap, &len, date);
    if (alternative >= 0) {
        append(buf, cap, &len, "-");
        if (alternative < lettered_alternatives) {
            const char letter[2] = {static_cast<char>('a' + alternative), '\0'};
            append(buf, cap, &len, letter);
        } else {
            append_number(buf, cap, &len, alternative);
        }
    }
    append(buf, cap, &len, ".dmp");
}

const char* signal_name(int sig)
{
    switch (sig) {
    case SIGSEGV: return "SIGSEGV (invalid memory access)";
    case SIGBUS: return "SIGBUS (bus error)";
    case SIGFPE: return "SIGFPE (arithmetic error)";
    case SIGILL: return "SIGILL (illegal instruction)";
    case SIGABRT: return "SIGABRT (aborted)";
    default: return "fatal signal";
    }
}

void write_all(int fd, const char* text)
{
    std::size_t left = std::strlen(text);
    while (left > 0) {
        const ssize_t n = ::write(fd, text, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        text += n;
        left -= static_cast<std::size_t>(n);
    }
}

void on_fatal_signal(int sig)
{
    const int saved_errno = errno;
    const long long utc = static_cast<long long>(::time(nullptr));
    const long long local = utc + offset_at(utc);
    long year = 0;
    unsigned month = 0, day = 0;
    civil_from_days(local >= 0 ? local / 86400 : (local - 86399) / 86400, &year, &month, &day);
    char date[16];
    std::size_t date_len = 0;
    date[0] = '\0';
    append_number(date, sizeof date, &date_len, year, 4);
    append_number(date, sizeof date, &date_len, static_cast<long>(month), 2);
    append_number(date, sizeof date, &date_len, static_cast<long>(day), 2);

    char name[path_capacity + 64];
    int fd = -1;
    for (int alternative = -1; alternative < max_alternatives && fd < 0; ++alternative) {
        build_name(name, sizeof name, date, alternative);
        const bool last = alternative == max_alternatives - 1;
        // O_EXCL makes "does it exist" and "create it" one step.
        fd = ::open(name, O_WRONLY | O_CREAT | (last ? O_TRUNC : O_EXCL), 0600);
        if (fd < 0 && errno != EEXIST)
            break;  // the folder is unwritable: no name will do
    }
    if (fd >= 0) {
        char line[256];
        std::size_t len = 0;
        line[0] = '\0';
        append(line, sizeof line, &len, "Quillmere Planner crash report\nsignal ");
        append_number(line, sizeof line, &len, sig);
        append(line, sizeof line, &len, ": ");
        append(line, sizeof line, &len, signal_name(sig));
        append(line, sizeof line, &len, "\npid ");
        append_number(line, sizeof line, &len, static_cast<long>(::getpid()));
        append(line, sizeof line, &len, "\n\nbacktrace:\n");
        write_all(fd, line);
        void* frames[64];
        const int count = ::backtrace(frames, 64);
        ::backtrace_symbols_fd(frames, count, fd);
        ::fsync(fd);
        ::close(fd);
    }
    errno = saved_errno;
    // The handler was installed with SA_RESETHAND: re-raising runs the default
    // action (core dump or termination) as if we had not been here.
    ::raise(sig);
}

}  // namespace

QString crash_report_name(const QString& data_folder, const QString& date,
                          const std::function<bool(const QString&)>& exists)
{
    QString name = data_folder + date + QStringLiteral(".dmp");
    for (int alternative = 0; alternative < max_alternatives && exists(name); ++alternative) {
        const QString suffix = alternative < lettered_alternatives
                                   ? QString(QChar(u'a' + alternative))
                                   : QString::number(alternative);
        name = data_folder + date + QLatin1Char('-') + suffix + QStringLiteral(".dmp");
    }
    return name;
}

void install_crash_handler(const QString& data_folder)
{
    const QByteArray folder = data_folder.toLocal8Bit();
    const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(folder.size()), path_capacity - 1);
    std::memcpy(folder_buffer, folder.constData(), n);
    folder_buffer[n] = '\0';
    folder_length = n;
    if (offset_change_count == 0)
        prepare_offsets(static_cast<long long>(::time(nullptr)));

    // For the thread that installs the handler, the main thread, where the
    // deep recursions of the user interface happen.
    stack_t stack{};
    stack.ss_sp = alternate_stack;
    stack.ss_size = sizeof alternate_stack;
    ::sigaltstack(&stack, nullptr);

    // The first backtrace() call may load libgcc: do it now, not in the handler.
    void* warm[2];
    ::backtrace(warm, 2);

    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = on_fatal_signal;
    action.sa_flags = SA_RESETHAND | SA_NODEFER | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (int sig : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT})
        ::sigaction(sig, &action, nullptr);
}

}  // namespace qm::app
