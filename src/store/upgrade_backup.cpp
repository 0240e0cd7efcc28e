#include "store/upgrade_backup.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

namespace qm::store {

QString backup_name(const QString& database_path, const QString& version, int attempt)
{
    QString safe = version;
    for (QChar& ch : safe) {
        const char16_t u = ch.unicode();
        const bool ok = (u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') ||
                        u == u'.' || u == u'-' || u == u'_';
        if (!ok)
            ch = QLatin1Char('_');
    }
    QString name = QStringLiteral("ferncastle-") + safe + QStringLiteral("-backup");
    if (attempt > 1)
        name += QString::number(attempt);
    name += QStringLiteral(".db");
    return QFileInfo(database_path).absolutePath() + QLatin1Char('/') + name;
}

namespace {

QString failure_text(const QString& reason)
{
    return QStringLiteral(
               "Quillmere Planner has run into an error while trying to backup the current database before "
               "converting it into a version compatible with this new version.\n\n"
               "This is done as a precaution in case something goes wrong in conversion process. \n\n"
               "The error reported was: %1\n\n"
               "Do you want to continue the conversion process without a backup?\n"
               "Press 'Cancel' to close Quillmere now and cancel the conversion process.\n"
               "Press 'Try Again' to try to make a backup again.\n"
               "Press 'Continue' to continue the conversion process without a backup.")
        .arg(reason);
}

// The system's error number, taken at once, and Qt's text for the failure.
QString reason_of(int code, const QFile& f)
{
    return QStringLiteral("%1: %2").arg(code).arg(f.errorString());
}

// Copies source to target, failing when target exists; on failure the reason
// as "number: message" and nothing is left at target.
bool copy_file(const QString& source, const QString& target, QString& reason)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        reason = reason_of(errno, in);
        return false;
    }
    QFile out(target);
    // NewOnly: the existence test and the creation are one step, as a copy
    // that fails when the target exists.
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        reason = reason_of(errno, out);
        return false;
    }
    QByteArray buffer;
    bool ok = true;
    int code = 0;
    while (ok && !in.atEnd()) {
        buffer = in.read(1 << 20);
        if ((buffer.isEmpty() && in.error() != QFileDevice::NoError) || out.write(buffer) != buffer.size()) {
            code = errno;
            ok = false;
        }
    }
    if (ok && !out.flush()) {
        code = errno;
        ok = false;
    }
    if (!ok) {
        reason = reason_of(code, in.error() != QFileDevice::NoError ? in : out);
        out.close();
        // A half-written copy must not pass for a backup.
        QFile::remove(target);
        return false;
    }
    out.close();
    return true;
}

}  // namespace

QString backup_database(const upgrade_environment& env, const QString& version)
{
    int attempt = 1;
    for (;;) {
        QString target = backup_name(env.database_path, version, attempt);
        while (QFileInfo::exists(target))
            target = backup_name(env.database_path, version, ++attempt);
        QString reason;
        if (copy_file(env.database_path, target, reason))
            return target;
        const backup_answer answer = env.backup_failed ? env.backup_failed(failure_text(reason)) : backup_answer::cancel;
        if (answer == backup_answer::cancel)
            throw conversion_cancelled();
        if (answer == backup_answer::go_on)
            return QString();
        ++attempt;
    }
}

}  // namespace qm::store
