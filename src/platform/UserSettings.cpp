#include "platform/UserSettings.h"

#include "platform/BoundedFile.h"
#include "platform/ProgramFolders.h"
#include "platform/RegExportReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Set once the files of the earlier versions have been carried over, or the program has written
// settings of its own: those files are never read again.
const QString kCarriedOverKey = QStringLiteral("Migration/RegFiles");
const QStringList kOldStores
    = { QStringLiteral("FileStore"), QStringLiteral("PropertiesStore"), QStringLiteral("VerStore") };

QString cannotCreate(const QString& file, const QString& reason)
{
    return QStringLiteral("Cannot create file \"%1\". %2").arg(file, reason);
}

// QDir::mkpath gives no reason; the first part of the path that is in the way gives one.
bool makeFolder(const QString& folder, QString* reason)
{
    if (QDir().mkpath(folder))
        return true;
    QString blocked = folder;
    for (QString up = folder; !up.isEmpty() && up != QFileInfo(up).path(); up = QFileInfo(up).path()) {
        if (QFileInfo::exists(up)) {
            blocked = up;
            break;
        }
    }
    *reason = QFileInfo(blocked).isDir()
        ? QStringLiteral("Cannot create the folder \"%1\": \"%2\" is not writable.").arg(folder, blocked)
        : QStringLiteral("Cannot create the folder \"%1\": \"%2\" is not a folder.").arg(folder, blocked);
    return false;
}

// Nothing, or why a file standing at path must not be read or written over.
std::optional<QString> untrusted(const QString& path)
{
    struct stat info { };
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0 && (errno == ENOENT || errno == ENOTDIR))
        return std::nullopt;
    QString reason;
    if (!BoundedFile::readOwn(path, UserSettings::kMaxFileBytes, &reason))
        return reason;
    return std::nullopt;
}

// Makes the file at path readable and writable by its owner only; false with the system's reason.
bool keepToOwner(const QString& path, QString* reason)
{
    struct stat info { };
    const QByteArray name = QFile::encodeName(path);
    if (::stat(name.constData(), &info) == 0
        && (!(info.st_mode & 077) || ::chmod(name.constData(), 0600) == 0))
        return true;
    *reason = qt_error_string(errno);
    return false;
}

// Why a file could not be written at path, as the system says it.
QString writeFailure(const QString& path)
{
    QSaveFile probe(path);
    if (!probe.open(QIODevice::WriteOnly))
        return probe.errorString();
    probe.cancelWriting();
    return QStringLiteral("Настройки не записаны.");
}

} // namespace

UserSettings::UserSettings()
{
    open();
}

UserSettings::~UserSettings() = default;

QString UserSettings::location()
{
#ifdef Q_OS_WIN
    return QStringLiteral("HKEY_CURRENT_USER\\Tellvik\\Kestrova Sertrix");
#else
    // Where QSettings keeps the organization's and application's settings in its native format.
    return QFileInfo(ProgramFolders::settings()).path() + QStringLiteral("/Kestrova Sertrix.conf");
#endif
}

void UserSettings::open()
{
#ifdef Q_OS_WIN
    m_settings = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
        QStringLiteral("Tellvik"), QStringLiteral("Kestrova Sertrix"));
#else
    // QSettings would read whatever stands there, waiting on a FIFO.
    if (const auto reason = untrusted(location())) {
        m_problem = QStringLiteral("Cannot open file \"%1\". %2").arg(location(), *reason);
        return;
    }
    m_settings = std::make_unique<QSettings>(location(), QSettings::IniFormat);
#endif
    if (!m_settings->contains(kCarriedOverKey))
        carryOverOldFiles();
}

void UserSettings::carryOverOldFiles()
{
    QList<std::pair<QString, QString>> values;
    for (const QString& store : kOldStores) {
        const QString file = ProgramFolders::settings() + u'/' + store + QStringLiteral(".reg");
        // A file the earlier versions did not write (another user's, one others may write to,
        // anything but a regular file) was never read by them either.
        if (const auto bytes = BoundedFile::readOwn(file, kMaxFileBytes, nullptr))
            values += readRegExport(*bytes, store);
    }
    if (values.isEmpty())
        return;
    // Without a file of its owner's to keep them in they wait for the next start; writing is
    // what reports such a file.
    if (prepareWrite()) {
        for (const auto& [key, text] : values)
            m_settings->setValue(key, text);
        sync();
    }
    m_problem.clear();
}

bool UserSettings::prepareWrite()
{
#ifndef Q_OS_WIN
    const QString file = location();
    if (!makeFolder(QFileInfo(file).path(), &m_problem))
        return false;
    if (const auto reason = untrusted(file)) {
        m_problem = cannotCreate(file, *reason);
        return false;
    }
    // Made by its owner for its owner before the password goes in, or made so when another part
    // of the program made it first; QSettings keeps the mode of the file it rewrites.
    QString reason;
    const int fd = ::open(QFile::encodeName(file).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
        ::close(fd);
    } else if (errno != EEXIST) {
        m_problem = cannotCreate(file, qt_error_string(errno));
        return false;
    } else if (!keepToOwner(file, &reason)) {
        m_problem = cannotCreate(file, reason);
        return false;
    }
#endif
    if (!m_settings)
        return false;
    m_settings->setValue(kCarriedOverKey, true);
    return true;
}

bool UserSettings::sync()
{
    if (!m_settings)
        return false;
    m_settings->sync();
#ifndef Q_OS_WIN
    const QString file = location();
    // A format error is of the file as it was read: QSettings writes it anew all the same.
    if (m_settings->status() == QSettings::AccessError) {
        m_problem = cannotCreate(file, writeFailure(file));
        return false;
    }
    // Still its owner's only, whoever wrote it last.
    QString reason;
    if (!keepToOwner(file, &reason)) {
        m_problem = cannotCreate(file, reason);
        return false;
    }
#else
    if (m_settings->status() == QSettings::AccessError) {
        m_problem = QStringLiteral("Настройки не записаны.");
        return false;
    }
#endif
    return true;
}
