#include "platform/BoundedFile.h"

#include "platform/SystemErrorText.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace BoundedFile {

namespace {

struct Descriptor {
    int fd = -1;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

QString tooLarge(qint64 maxBytes)
{
    return QStringLiteral("Файл больше %1 байт.").arg(maxBytes);
}

// The path as one word of a shell command line.
QString shellWord(const QString& path)
{
    static const QString kPlain = QStringLiteral("+-./_=:,@%");
    const bool plain = !path.isEmpty() && std::all_of(path.begin(), path.end(), [](QChar c) {
        return (c.unicode() < 0x80 && c.isLetterOrNumber()) || kPlain.contains(c);
    });
    if (plain)
        return path;
    QString quoted = path;
    quoted.replace(u'\'', QLatin1String("'\\''"));
    return u'\'' + quoted + u'\'';
}

std::optional<QByteArray> readFile(
    const QString& path, qint64 maxBytes, bool own, OtherWriters allowed, QString* reason)
{
    auto fail = [reason](const QString& text) -> std::optional<QByteArray> {
        if (reason)
            *reason = text;
        return std::nullopt;
    };
    // Non-blocking, so that opening a FIFO does not wait for a writer.
    Descriptor file;
    file.fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (file.fd < 0)
        return fail(systemErrorText(errno));
    struct stat info { };
    if (::fstat(file.fd, &info) != 0)
        return fail(systemErrorText(errno));
    if (!S_ISREG(info.st_mode))
        return fail(QStringLiteral("Это не обычный файл."));
    if (own && info.st_uid != ::geteuid())
        return fail(QStringLiteral("Файл принадлежит другому пользователю."));
    if (own && allowed == OtherWriters::None && (info.st_mode & (S_IWGRP | S_IWOTH)))
        return fail(QStringLiteral("Его могут изменить другие пользователи; выполните: chmod go-w %1")
                        .arg(shellWord(path)));
    if (own && (info.st_mode & S_IWOTH))
        return fail(QStringLiteral("Его могут изменить другие пользователи; выполните: chmod o-w %1")
                        .arg(shellWord(path)));
    if (info.st_size > maxBytes)
        return fail(tooLarge(maxBytes));

    QByteArray bytes(qsizetype(info.st_size) + 1, Qt::Uninitialized);
    qsizetype done = 0;
    for (;;) {
        if (done == bytes.size()) {
            if (done > maxBytes)
                return fail(tooLarge(maxBytes));
            bytes.resize(std::min<qint64>(qint64(bytes.size()) * 2, maxBytes + 1));
        }
        const ssize_t got = ::read(file.fd, bytes.data() + done, size_t(bytes.size() - done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return fail(systemErrorText(errno));
        if (got == 0)
            break;
        done += got;
    }
    if (done > maxBytes)
        return fail(tooLarge(maxBytes));
    bytes.truncate(done);
    return bytes;
}

} // namespace

std::optional<QByteArray> read(const QString& path, qint64 maxBytes, QString* reason)
{
    return readFile(path, maxBytes, false, OtherWriters::Group, reason);
}

std::optional<QByteArray> readOwn(const QString& path, qint64 maxBytes, QString* reason, OtherWriters allowed)
{
    return readFile(path, maxBytes, true, allowed, reason);
}

} // namespace BoundedFile
