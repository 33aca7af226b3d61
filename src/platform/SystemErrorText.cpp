#include "platform/SystemErrorText.h"

#include <cerrno>
#include <cstring>

QString systemErrorText(int code)
{
    switch (code) {
    case ENOENT:
        return QStringLiteral("Нет такого файла или папки.");
    case EACCES:
    case EPERM:
        return QStringLiteral("Доступ запрещён.");
    case EISDIR:
        return QStringLiteral("Это папка.");
    case ENOTDIR:
        return QStringLiteral("Часть пути — не папка.");
    case EEXIST:
        return QStringLiteral("Файл уже существует.");
    case ENOSPC:
        return QStringLiteral("На диске нет места.");
    case EDQUOT:
        return QStringLiteral("Исчерпана дисковая квота.");
    case EROFS:
        return QStringLiteral("Файловая система доступна только для чтения.");
    case ELOOP:
        return QStringLiteral("Слишком много символических ссылок.");
    case ENAMETOOLONG:
        return QStringLiteral("Слишком длинное имя файла.");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("Открыто слишком много файлов.");
    case EIO:
        return QStringLiteral("Ошибка ввода-вывода.");
    case ENOMEM:
        return QStringLiteral("Не хватает памяти.");
    case EBUSY:
    case ETXTBSY:
        return QStringLiteral("Файл занят.");
    case ENXIO:
        return QStringLiteral("Нет такого устройства.");
    default:
        return QStringLiteral("Системная ошибка %1 (%2).")
            .arg(code)
            .arg(QString::fromLocal8Bit(std::strerror(code)));
    }
}
