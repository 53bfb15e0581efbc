#pragma once
// Real SQLite files for the database tests, written with the SQLite library
// directly (not through the engine under test).
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <sqlite3.h>

namespace dbtest {

// Creates (or extends) the SQLite file path by running sql; fails the test on an error.
inline bool makeDb(const QString& path, const char* sql)
{
    sqlite3* db = nullptr;
    if (sqlite3_open(path.toUtf8().constData(), &db) != SQLITE_OK)
        return false;
    char* err = nullptr;
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, &err);
    if (rc != SQLITE_OK)
        qWarning("fixture SQL failed: %s", err ? err : "?");
    sqlite3_free(err);
    sqlite3_close(db);
    return rc == SQLITE_OK;
}

// One value read straight from the file.
inline QString scalar(const QString& path, const char* sql)
{
    sqlite3* db = nullptr;
    QString out;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &s, nullptr) == SQLITE_OK && sqlite3_step(s) == SQLITE_ROW)
            out = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)));
        else
            out = QStringLiteral("<error: %1>").arg(QString::fromUtf8(sqlite3_errmsg(db)));
        sqlite3_finalize(s);
    }
    sqlite3_close(db);
    return out;
}

// A small people table: ids 1..8, with nulls, letter case and non-ASCII text.
inline const char* peopleSql()
{
    return "CREATE TABLE People (ID INTEGER PRIMARY KEY, Name TEXT(50), City TEXT(50), EMail TEXT(100),"
           " Age INTEGER, Joined DATETIME, Active BOOLEAN, Score DOUBLE);"
           "INSERT INTO People VALUES (1, 'Ann Archer', 'York', 'ann@example.com', 30, '2000-01-31', -1, 1.5);"
           "INSERT INTO People VALUES (2, 'bob baker', 'new york', 'BOB@EXAMPLE.ORG', 41, '1999-12-31', 0, 2.25);"
           "INSERT INTO People VALUES (3, 'Cleo Cruz', 'Yorkshire', NULL, 25, '2001-06-15 10:30:00', -1, NULL);"
           "INSERT INTO People VALUES (4, 'Dan O''Dell', 'Dover', '', NULL, NULL, 0, 0);"
           "INSERT INTO People VALUES (5, 'Émile Ébert', 'Évian', 'emile@example.net', 52, '2010-10-10', -1, 10);"
           "INSERT INTO People VALUES (6, 'Fay 50% Off', 'Fes', 'fay_f@example.com', 19, '2005-05-05', 0, -1);"
           "INSERT INTO People VALUES (7, 'Gus 7', 'Graz', 'gus7@example.com', 30, '2000-01-31', -1, 3);"
           "INSERT INTO People VALUES (8, 'hal [x]', 'Hull', 'hal*@example.com', 64, '1980-02-29', 0, 4);"
           "CREATE VIEW Adults AS SELECT Name, EMail, Age FROM People WHERE Age >= 30 ORDER BY Name;";
}

} // namespace dbtest
