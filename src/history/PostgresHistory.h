#pragma once

#include "history/HistoryBackend.h"
#include "history/PgConnection.h"

#include <QString>

// The position history in a schema of its own (kestrova unless given) on a PostgreSQL server,
// shared by every machine and user that names it. The schema is made and moved forward by the
// same numbered steps as the SQLite file, each step in one transaction under an advisory lock, so
// that programs starting at once never both migrate; a schema of a newer version, or one that
// holds other tables, is refused without a change. A user who may only read sees every check.
class PostgresHistory : public HistoryBackend {
public:
    static constexpr const char* kDefaultSchema = "kestrova";

    // Throws HistoryError for a string that holds a password, a server that cannot be reached,
    // a schema name that is no plain name, or a schema that is not a history of the program.
    PostgresHistory(const QString& conninfo, const QString& schema = QString::fromLatin1(kDefaultSchema));

    // A schema name is lower-case letters, digits and "_", beginning with a letter or "_".
    static bool isValidSchemaName(const QString& name);

    int schemaVersion() override;
    qint64 record(const RecordedCheck& check) override;
    void forEachCheck(const QString* site, const std::function<void(const RecordedCheck&)>& visit) override;
    // Written by the server (COPY), byte for byte as the other store writes them.
    void writeCsvRows(const QString* site, const std::function<void(QByteArrayView piece)>& write) override;
    std::optional<RecordedCheck> latestCheck(const QString& site) override;
    QList<RecordedCheck> latestCheckOfEachProject(const QString& site) override;
    void assignProject(const QStringList& uids, const QString& projectPath) override;
    SiteHistory siteHistory(const QString& site) override;
    QList<PreviousResult> latestDecidedResults(
        const QString& site, const QStringList& keywords, const QList<Engine>& engines) override;

private:
    // The version the server holds, 0 for none; throws for a schema that is not ours.
    int readVersion();
    void migrate();
    // Rows of a query read a batch at a time through a cursor, in one snapshot.
    void forEachRow(const QByteArray& sql, const QList<PgParam>& params,
        const std::function<void(const PgResult&, int row)>& visit);

    static const QString& checkedSchemaName(const QString& name);

    QString m_schema;
    PgConnection m_db;
};
