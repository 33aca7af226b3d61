#pragma once

#include "history/HistoryRecord.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A check with every field filled: Cyrillic keywords, a found and a lost position, a query count,
// the engine definitions 2026.12.7.1, run on the machine "office-7" by the user "анна".
RecordedCheck sampleCheck(const QDateTime& time, std::optional<int> yandexPosition = 7);

QByteArray fileBytes(const QString& path);

// A history file in a temporary folder, removed with the fixture.
class HistoryFolder {
public:
    QString path() const { return m_dir.filePath(QStringLiteral("Tellvik/Kestrova Sertrix/history.sqlite")); }

private:
    QTemporaryDir m_dir;
};

#include "history/HistoryBackend.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>

// The two stores every behaviour of the history is tested on.
enum class StoreKind { Sqlite, Postgres };
std::string storeKindName(const testing::TestParamInfo<StoreKind>& info);

// A new empty history of the kind: a file in a temporary folder, or a database of its own on the
// PostgreSQL server of the test binary.
class EmptyHistory {
public:
    explicit EmptyHistory(StoreKind kind);
    const QString& location() const { return m_location; }
    std::unique_ptr<HistoryBackend> open() const;

private:
    QTemporaryDir m_dir;
    QString m_location;
};

class OnEachStore : public testing::TestWithParam<StoreKind> {
protected:
    EmptyHistory m_history { GetParam() };
};

#define KS_ON_EACH_STORE(suite)                                                                              \
    INSTANTIATE_TEST_SUITE_P(                                                                                \
        Stores, suite, testing::Values(StoreKind::Sqlite, StoreKind::Postgres), storeKindName)
