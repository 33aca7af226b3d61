#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// A project as the tests write it to a file.
struct TestProject {
    QString site = QStringLiteral("http://www.example.ru/");
    QStringList keywords = QStringList(7, QString()); // keyword 1 first; missing ones are empty
    QStringList checked; // engine keys, such as "YandexRu"
};

// The bytes the program writes for the project: Windows-1251, CR LF, the sections in store order.
QByteArray projectFileBytes(const TestProject& project);

// False, and nothing written, when the file cannot be opened.
bool writeProjectFile(const QString& path, const TestProject& project);
