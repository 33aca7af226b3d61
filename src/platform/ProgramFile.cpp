#include "platform/ProgramFile.h"

#include <QCoreApplication>
#include <QFile>
#include <climits>
#include <unistd.h>

namespace ProgramFile {

namespace {

const char kSelf[] = "/proc/self/exe";

} // namespace

QString path()
{
    const QString fromQt = QCoreApplication::applicationFilePath();
    if (!fromQt.isEmpty())
        return fromQt;
    // Qt gives no path where the folder's name is no valid text; the kernel's link names it as
    // bytes, which serve only when they come back unchanged from their text.
    char bytes[PATH_MAX];
    const ssize_t length = ::readlink(kSelf, bytes, sizeof bytes);
    if (length <= 0 || length >= ssize_t(sizeof bytes))
        return {};
    const QByteArray link(bytes, qsizetype(length));
    const QString text = QFile::decodeName(link);
    return QFile::encodeName(text) == link ? text : QString();
}

QString readablePath()
{
    const QString text = path();
    return text.isEmpty() ? QString::fromLatin1(kSelf) : text;
}

} // namespace ProgramFile
