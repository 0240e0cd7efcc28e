#include "store/database_settings.h"

#include "store/database.h"
#include "time/clock.h"

namespace qm::store {

QString version_text(int major, int minor, bool drop_final_zero)
{
    QString text = QString::number(major) + QLatin1Char('.');
    if (minor >= 10) {
        if (drop_final_zero && minor % 10 == 0)
            text += QString::number(minor / 10);
        else
            text += QString::number(minor);
    } else if (minor == 0) {
        text += QLatin1Char('0');
    } else {
        text += QLatin1Char('0') + QString::number(minor);
    }
    return text;
}

QString short_version_text() { return version_text(program_major, program_minor, true); }

QString about_version_text()
{
    return QStringLiteral("%1 (Build: %2)").arg(version_text(program_major, program_minor)).arg(program_build);
}

namespace {

// Leading decimal digits of s, as a number; stops before it could overflow.
int leading_number(const QString& s)
{
    long long value = 0;
    for (QChar c : s) {
        if (!c.isDigit() || c.unicode() > '9')
            break;
        value = value * 10 + (c.unicode() - '0');
        if (value > 1000000)
            break;
    }
    return static_cast<int>(value);
}

int count_digits(const QString& s)
{
    int n = 0;
    for (QChar c : s)
        if (c.unicode() >= '0' && c.unicode() <= '9')
            ++n;
    return n;
}

}  // namespace

stored_version parse_version(const QString& text)
{
    stored_version v;
    const int dot = text.indexOf(QLatin1Char('.'));
    const QString before = dot < 0 ? text : text.left(dot);
    const QString after = dot < 0 ? QString() : text.mid(dot + 1);
    v.major = leading_number(before);
    v.minor = leading_number(after);
    if (count_digits(after) == 1)
        v.minor *= 10;
    if (!text.isEmpty()) {
        const char16_t last = text.back().toLower().unicode();
        if (last >= u'a' && last <= u'z')
            v.revision = last - u'a' + 1;
    }
    return v;
}

QString read_setting(database& db, int key)
{
    statement s = db.prepare(QStringLiteral("SELECT [value] FROM [DatabaseSettings] WHERE [key] = %1").arg(key));
    QString value;
    if (!db.step(s))
        value = db.column_text(s, 1);
    db.finalize(s);
    return value;
}

void write_setting(database& db, int key, const QString& value)
{
    statement s = db.prepare(QStringLiteral("REPLACE INTO [DatabaseSettings] Values(%1, ?)").arg(key));
    db.bind_text(s, 1, value);
    db.step_failed(s);
    db.finalize(s);
}

void stamp_version(database& db, int major, int minor)
{
    if (major == 0 && minor == 0) {
        major = program_major;
        minor = program_minor;
    }
    const QString text = version_text(major, minor);
    const QString stored = read_setting(db, settings_key::version);
    if (stored.isEmpty()) {
        write_setting(db, settings_key::version, text);
    } else if (stored != text) {
        write_setting(db, settings_key::version, text);
        write_setting(db, settings_key::version_changed_date, QString::number(time::today()));
    }
}

}  // namespace qm::store
