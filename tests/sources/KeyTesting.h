#pragma once

#include "sources/KeyFile.h"
#include "sources/KeyName.h"
#include "sources/SessionBus.h"

#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>

// The key file's permission bits, or -1 when there is none.
inline int keyFileMode()
{
    struct stat info { };
    if (::stat(QFile::encodeName(KeyFile::path()).constData(), &info) != 0)
        return -1;
    return int(info.st_mode & 07777);
}

inline QByteArray keyFileBytes()
{
    QFile file(KeyFile::path());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// No key in the environment and no key file: each test starts from nothing.
inline void forgetEnvironmentAndFile()
{
    for (KeyName name : kKeyNames)
        qunsetenv(keyVariable(name));
    QFile::remove(KeyFile::path());
}
