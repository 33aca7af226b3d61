#include "sources/KeyFile.h"

#include "platform/BoundedFile.h"
#include "platform/ProgramFolders.h"
#include "platform/SafeFile.h"
#include "sources/KeyName.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <sys/stat.h>

namespace {

constexpr qint64 kMaxBytes = 16 * 1024;

void setProblem(QString* problem, const QString& text)
{
    if (problem)
        *problem = text;
}

QString refused(const QString& reason)
{
    return QStringLiteral("Файл ключей %1 не прочитан: %2").arg(KeyFile::path(), reason);
}

} // namespace

QString KeyFile::path()
{
    return ProgramFolders::settings() + QStringLiteral("/source-keys.conf");
}

std::optional<SourceKeys> KeyFile::read(QString* problem)
{
    setProblem(problem, {});
    const QByteArray name = QFile::encodeName(path());
    struct stat info { };
    if (::stat(name.constData(), &info) != 0) {
        if (errno == ENOENT)
            return SourceKeys {};
        setProblem(problem, refused(qt_error_string(errno)));
        return std::nullopt;
    }
    // BoundedFile refuses a file others may write; a key file others may even read is refused too.
    if (S_ISREG(info.st_mode) && (info.st_mode & (S_IRGRP | S_IROTH))) {
        setProblem(problem,
            refused(QStringLiteral("его могут прочитать другие пользователи; выполните: chmod 600 '%1'")
                        .arg(path())));
        return std::nullopt;
    }
    QString reason;
    const auto bytes = BoundedFile::readOwn(path(), kMaxBytes, &reason);
    if (!bytes) {
        setProblem(problem, refused(reason));
        return std::nullopt;
    }
    SourceKeys keys;
    for (QByteArray line : bytes->split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        const qsizetype equals = line.indexOf('=');
        if (line.isEmpty() || line.startsWith('#') || equals < 0)
            continue;
        const QString code = QString::fromUtf8(line.left(equals)).trimmed();
        const QString value = QString::fromUtf8(line.mid(equals + 1)).trimmed();
        for (KeyName key : kKeyNames)
            if (code == keyCode(key) && keyProblem(key, value).isEmpty())
                keyIn(keys, key) = value;
    }
    return keys;
}

bool KeyFile::write(const SourceKeys& keys, QString* problem)
{
    setProblem(problem, {});
    QByteArray text = "# Kestrova Sertrix: keys of the result sources, readable by this user alone\n";
    bool any = false;
    for (KeyName key : kKeyNames) {
        const QString& value = keyIn(keys, key);
        if (value.isEmpty())
            continue;
        if (const QString bad = keyProblem(key, value); !bad.isEmpty()) {
            setProblem(problem, bad);
            return false;
        }
        text += keyCode(key).toUtf8() + '=' + value.toUtf8() + '\n';
        any = true;
    }
    const QString file = path();
    if (!any) {
        if (const auto bad = SafeFile::notRegularReason(file)) {
            setProblem(problem, QStringLiteral("Файл ключей %1 не удалён: %2").arg(file, *bad));
            return false;
        }
        if (QFileInfo::exists(file) && !QFile::remove(file)) {
            setProblem(problem, QStringLiteral("Файл ключей %1 не удалён").arg(file));
            return false;
        }
        return true;
    }
    const QString folder = QFileInfo(file).absolutePath();
    if (!QDir().mkpath(folder)) {
        setProblem(problem, QStringLiteral("Не удалось создать папку %1").arg(folder));
        return false;
    }
    QString reason;
    const bool written = SafeFile::replace(file, text, &reason, true);
    text.fill('\0');
    if (!written)
        setProblem(problem, QStringLiteral("Не удалось записать файл ключей %1: %2").arg(file, reason));
    return written;
}
