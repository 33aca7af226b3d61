#pragma once

// The schema steps: step i brings a database of user_version i to user_version i + 1.
// A new step is appended here; old steps are never changed.
inline constexpr const char* kHistorySchemaSteps[] = {
    // 1: checks and their results.
    "CREATE TABLE checks ("
    " id INTEGER PRIMARY KEY,"
    " time_utc TEXT NOT NULL,"
    " site TEXT NOT NULL,"
    " site_key TEXT NOT NULL,"
    " project_path TEXT NOT NULL DEFAULT '',"
    " cy TEXT NOT NULL DEFAULT '',"
    " pr TEXT NOT NULL DEFAULT '',"
    " outcome TEXT NOT NULL);"
    "CREATE TABLE results ("
    " check_id INTEGER NOT NULL REFERENCES checks(id) ON DELETE CASCADE,"
    " keyword TEXT NOT NULL,"
    " engine TEXT NOT NULL,"
    " result_text TEXT NOT NULL,"
    " position INTEGER,"
    " result_page INTEGER NOT NULL,"
    " query_count TEXT NOT NULL DEFAULT '',"
    " reason TEXT NOT NULL);"
    "CREATE INDEX checks_by_site ON checks(site_key, time_utc);",
    // 2: the error that ended a check; results found by check and by series.
    "ALTER TABLE checks ADD COLUMN error TEXT NOT NULL DEFAULT '';"
    "CREATE INDEX results_by_check ON results(check_id);"
    "CREATE INDEX results_by_series ON results(keyword, engine, check_id);",
    // 3: the site on every result, so that a series' latest result of a site is found at once.
    "ALTER TABLE results ADD COLUMN site_key TEXT NOT NULL DEFAULT '';"
    "UPDATE results SET site_key = (SELECT c.site_key FROM checks c WHERE c.id = results.check_id);"
    "CREATE INDEX results_by_site_series ON results(site_key, engine, keyword, check_id);",
    // 4: the version of the engine definitions a check used, empty for the checks before it; the
    // latest check of every project file of a site found at once.
    "ALTER TABLE checks ADD COLUMN definitions TEXT NOT NULL DEFAULT '';"
    "CREATE INDEX checks_by_project ON checks(site_key, project_path, time_utc);",
    // 5: the region a check asked the engines from ("lr=213 gl=ru hl=ru"), empty for none.
    "ALTER TABLE checks ADD COLUMN region TEXT NOT NULL DEFAULT '';",
};
