#pragma once

#include "history/HistoryRecord.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A check with every field filled: Cyrillic keywords, a found and a lost position, a query count,
// the engine definitions 2026.12.7.1.
RecordedCheck sampleCheck(const QDateTime& time, std::optional<int> yandexPosition = 7);

QByteArray fileBytes(const QString& path);

// A history file in a temporary folder, removed with the fixture.
class HistoryFolder {
public:
    QString path() const { return m_dir.filePath(QStringLiteral("Tellvik/Kestrova Sertrix/history.sqlite")); }

private:
    QTemporaryDir m_dir;
};
