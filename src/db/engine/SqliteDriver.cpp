#include "SqliteDriver.h"

#include "JetSql.h"
#include "Messages.h"
#include "Types.h"
#include "platform/Error.h"
#include "platform/Wildcard.h"

#include <QDateTime>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <cctype>
#include <sqlite3.h>

namespace vt::db {

namespace {

// ---- Jet text semantics -------------------------------------------------

int jetNoCase(void*, int n1, const void* p1, int n2, const void* p2)
{
    const auto* a = static_cast<const unsigned char*>(p1);
    const auto* b = static_cast<const unsigned char*>(p2);
    const int n = n1 < n2 ? n1 : n2;
    for (int i = 0; i < n; ++i) {
        unsigned char x = a[i], y = b[i];
        if ((x | y) & 0x80) {
            // Beyond ASCII: compare the rest by Unicode case folding.
            const QString sa = QString::fromUtf8(reinterpret_cast<const char*>(a + i), n1 - i);
            const QString sb = QString::fromUtf8(reinterpret_cast<const char*>(b + i), n2 - i);
            const int c = sa.compare(sb, Qt::CaseInsensitive);
            return c < 0 ? -1 : (c > 0 ? 1 : 0);
        }
        if (x >= 'A' && x <= 'Z')
            x += 32;
        if (y >= 'A' && y <= 'Z')
            y += 32;
        if (x != y)
            return x < y ? -1 : 1;
    }
    return n1 == n2 ? 0 : (n1 < n2 ? -1 : 1);
}

// match(pattern, text): X MATCH Y calls it with (Y, X).
void jetMatch(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (argc != 2 || sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const void* p = sqlite3_value_text16(argv[0]);
    const int pn = sqlite3_value_bytes16(argv[0]) / 2;
    const void* t = sqlite3_value_text16(argv[1]);
    const int tn = sqlite3_value_bytes16(argv[1]) / 2;
    if (!p || !t) {
        sqlite3_result_error_nomem(ctx);
        return;
    }
    const QString pat = QString::fromRawData(static_cast<const QChar*>(p), pn);
    const QString text = QString::fromRawData(static_cast<const QChar*>(t), tn);
    sqlite3_result_int(ctx, WildcardMatch(text, pat, true) ? 1 : 0);
}

// ---- errors -------------------------------------------------------------

QString errorText(sqlite3* db, int rc, const QString& name)
{
    switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return msg::Locked(name);
    case SQLITE_NOTADB: return msg::NotADatabase(name);
    case SQLITE_CORRUPT: return msg::Corrupt(name);
    case SQLITE_READONLY: return msg::NotUpdatable();
    case SQLITE_CANTOPEN: return msg::CannotOpen(name, QString::fromUtf8(sqlite3_errstr(rc)) + '.');
    default: break;
    }
    QString m = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
    if (!m.isEmpty())
        m[0] = m[0].toUpper();
    if (!m.endsWith('.'))
        m += '.';
    return m;
}

struct Handle {
    sqlite3* db = nullptr;
    QString name;
};
using HandlePtr = std::shared_ptr<Handle>;

class SqliteStatement : public Statement {
public:
    SqliteStatement(HandlePtr h, sqlite3_stmt* s) : m_h(std::move(h)), m_s(s) {}
    ~SqliteStatement() override { sqlite3_finalize(m_s); }

    void bind(int i, const QVariant& v) override
    {
        live();
        int rc;
        if (v.isNull() || !v.isValid()) {
            rc = sqlite3_bind_null(m_s, i);
        } else {
            switch (v.typeId()) {
            case QMetaType::Bool: rc = sqlite3_bind_int64(m_s, i, v.toBool() ? -1 : 0); break;
            case QMetaType::Int:
            case QMetaType::UInt:
            case QMetaType::LongLong:
            case QMetaType::ULongLong:
            case QMetaType::Short:
            case QMetaType::UShort:
            case QMetaType::Char:
            case QMetaType::UChar: rc = sqlite3_bind_int64(m_s, i, v.toLongLong()); break;
            case QMetaType::Double:
            case QMetaType::Float: rc = sqlite3_bind_double(m_s, i, v.toDouble()); break;
            case QMetaType::QByteArray: {
                const QByteArray b = v.toByteArray();
                rc = sqlite3_bind_blob64(m_s, i, b.constData(), sqlite3_uint64(b.size()), SQLITE_TRANSIENT);
                break;
            }
            case QMetaType::QDateTime: {
                const QByteArray b = DateToStored(v.toDateTime()).toUtf8();
                rc = sqlite3_bind_text64(m_s, i, b.constData(), sqlite3_uint64(b.size()), SQLITE_TRANSIENT, SQLITE_UTF8);
                break;
            }
            default: {
                const QByteArray b = v.toString().toUtf8();
                rc = sqlite3_bind_text64(m_s, i, b.constData(), sqlite3_uint64(b.size()), SQLITE_TRANSIENT, SQLITE_UTF8);
            }
            }
        }
        if (rc != SQLITE_OK)
            throw VtError(errorText(m_h->db, rc, m_h->name));
    }
    bool step() override
    {
        live();
        const int rc = sqlite3_step(m_s);
        if (rc == SQLITE_ROW)
            return true;
        if (rc == SQLITE_DONE)
            return false;
        const QString m = errorText(m_h->db, rc, m_h->name);
        sqlite3_reset(m_s);
        throw VtError(m);
    }
    void reset() override
    {
        if (m_h->db)
            sqlite3_reset(m_s);
    }
    int columnCount() const override { return sqlite3_column_count(m_s); }
    QString columnName(int c) const override { return QString::fromUtf8(sqlite3_column_name(m_s, c)); }
    QString declType(int c) const override { return QString::fromUtf8(sqlite3_column_decltype(m_s, c)); }
    QString originTable(int c) const override { return QString::fromUtf8(sqlite3_column_table_name(m_s, c)); }
    QString originColumn(int c) const override { return QString::fromUtf8(sqlite3_column_origin_name(m_s, c)); }
    QVariant value(int c) const override
    {
        switch (sqlite3_column_type(m_s, c)) {
        case SQLITE_INTEGER: return QVariant(qint64(sqlite3_column_int64(m_s, c)));
        case SQLITE_FLOAT: return QVariant(sqlite3_column_double(m_s, c));
        case SQLITE_TEXT: {
            const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(m_s, c));
            return QVariant(QString::fromUtf8(p, sqlite3_column_bytes(m_s, c)));
        }
        case SQLITE_BLOB: {
            const auto* p = static_cast<const char*>(sqlite3_column_blob(m_s, c));
            return QVariant(QByteArray(p, sqlite3_column_bytes(m_s, c)));
        }
        default: return QVariant();
        }
    }
    qint64 int64(int c) const override { return sqlite3_column_int64(m_s, c); }
    int parameterCount() const override { return sqlite3_bind_parameter_count(m_s); }

private:
    void live() const
    {
        if (!m_h->db)
            throw VtError(msg::Closed());
    }
    HandlePtr m_h;
    sqlite3_stmt* m_s;
};

class SqliteConnection : public Connection {
public:
    SqliteConnection(sqlite3* db, QString name, bool updatable) : m_h(std::make_shared<Handle>()), m_updatable(updatable)
    {
        m_h->db = db;
        m_h->name = std::move(name);
    }
    ~SqliteConnection() override { close(); }

    QString name() const override { return m_h->name; }
    bool isOpen() const override { return m_h->db != nullptr; }
    void close() override
    {
        if (!m_h->db)
            return;
        sqlite3_close_v2(m_h->db); // statements still held finalize later
        m_h->db = nullptr;
    }
    bool updatable() const override { return m_updatable && m_h->db && !sqlite3_db_readonly(m_h->db, "main"); }

    std::unique_ptr<Statement> prepare(const QString& sql) override
    {
        live();
        const QByteArray u = sql.toUtf8();
        sqlite3_stmt* s = nullptr;
        const char* tail = nullptr;
        const int rc = sqlite3_prepare_v2(m_h->db, u.constData(), int(u.size()), &s, &tail);
        if (rc != SQLITE_OK)
            throw VtError(errorText(m_h->db, rc, m_h->name));
        for (; tail && *tail; ++tail) {
            if (*tail == ';' || std::isspace(static_cast<unsigned char>(*tail)))
                continue;
            sqlite3_finalize(s);
            throw VtError(msg::SecondStatement());
        }
        if (!s)
            throw VtError(msg::EmptyStatement());
        return std::make_unique<SqliteStatement>(m_h, s);
    }
    int exec(const QString& sql) override
    {
        auto st = prepare(sql);
        const qint64 before = sqlite3_total_changes64(m_h->db);
        while (st->step()) {
        }
        return int(sqlite3_total_changes64(m_h->db) - before);
    }
    qint64 lastInsertRowId() const override { return m_h->db ? sqlite3_last_insert_rowid(m_h->db) : 0; }

    std::vector<CatalogEntry> catalog() override
    {
        live();
        QSet<QString> shadow;
        try {
            auto tl = prepare(QStringLiteral("PRAGMA main.table_list"));
            while (tl->step())
                if (tl->value(2).toString() == QLatin1String("shadow"))
                    shadow.insert(tl->value(1).toString());
        } catch (const VtError&) {
        }
        std::vector<CatalogEntry> out;
        auto st = prepare(QStringLiteral(
            "SELECT name, type, sql FROM main.sqlite_schema WHERE type IN ('table','view') ORDER BY rowid"));
        while (st->step()) {
            CatalogEntry e;
            e.name = st->value(0).toString();
            e.sql = st->value(2).toString();
            if (st->value(1).toString() == QLatin1String("view"))
                e.kind = CatalogEntry::View;
            else if (e.name.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive))
                e.kind = CatalogEntry::System;
            else if (shadow.contains(e.name))
                e.kind = CatalogEntry::Hidden;
            out.push_back(e);
        }
        for (const QString& l : m_links.keys())
            out.push_back(CatalogEntry{l, CatalogEntry::Table, {}});
        return out;
    }

    std::vector<ColumnInfo> columns(const QString& table) override
    {
        std::vector<ColumnInfo> out;
        auto st = prepare("PRAGMA table_info(" + QuoteIdent(table) + ")");
        while (st->step()) {
            ColumnInfo c;
            c.name = st->value(1).toString();
            c.declType = st->value(2).toString();
            c.notNull = st->int64(3) != 0;
            c.primaryKey = st->int64(5) != 0;
            out.push_back(c);
        }
        return out;
    }

    QString rowKey(const QString& table) override
    {
        const QString k = table.toCaseFolded();
        if (auto it = m_keys.constFind(k); it != m_keys.constEnd())
            return *it;
        QString key;
        if (!m_links.contains(table)) {
            QSet<QString> names;
            for (const ColumnInfo& c : columns(table))
                names.insert(c.name.toCaseFolded());
            for (const char* cand : {"rowid", "_rowid_", "oid"}) {
                if (names.contains(QLatin1String(cand)))
                    continue;
                try {
                    prepare(QStringLiteral("SELECT %1 FROM main.%2 LIMIT 0").arg(QLatin1String(cand), QuoteIdent(table)));
                    key = QLatin1String(cand);
                } catch (const VtError&) {
                }
                break;
            }
        }
        m_keys.insert(k, key);
        return key;
    }

    void link(const QString& name, Connection& source, const QString& sourceTable) override
    {
        live();
        if (m_links.contains(name))
            throw VtError("Table '" + name + "' already exists.");
        const QString path = source.attachPath();
        if (!path.isEmpty()) {
            const QString alias = QStringLiteral("vtlink%1").arg(++m_linkSerial);
            auto at = prepare("ATTACH DATABASE ? AS " + alias);
            at->bind(1, path);
            at->step();
            try {
                prepare("SELECT * FROM " + alias + '.' + QuoteIdent(sourceTable) + " LIMIT 0");
                exec("CREATE TEMP VIEW " + QuoteIdent(name) + " AS SELECT * FROM " + alias + '.' + QuoteIdent(sourceTable));
            } catch (const VtError&) {
                exec("DETACH DATABASE " + alias);
                throw VtError("Could not find the table '" + sourceTable + "' in '" + source.name() + "'.");
            }
            m_links.insert(name, alias);
            m_keys.remove(name.toCaseFolded());
            return;
        }
        // A source without a file: copy its rows into a temporary table.
        const auto cols = source.columns(sourceTable);
        if (cols.empty())
            throw VtError("Could not find the table '" + sourceTable + "' in '" + source.name() + "'.");
        QStringList defs, marks;
        for (const ColumnInfo& c : cols) {
            defs << QuoteIdent(c.name) + ' ' + c.declType;
            marks << QStringLiteral("?");
        }
        exec("CREATE TEMP TABLE " + QuoteIdent(name) + " (" + defs.join(", ") + ')');
        begin();
        try {
            auto rd = source.prepare("SELECT * FROM " + QuoteIdent(sourceTable));
            auto wr = prepare("INSERT INTO temp." + QuoteIdent(name) + " VALUES (" + marks.join(',') + ')');
            while (rd->step()) {
                for (int i = 0; i < rd->columnCount(); ++i)
                    wr->bind(i + 1, rd->value(i));
                wr->step();
                wr->reset();
            }
            commit();
        } catch (...) {
            rollback();
            exec("DROP TABLE temp." + QuoteIdent(name));
            throw;
        }
        m_links.insert(name, QString());
        m_keys.remove(name.toCaseFolded());
    }

    void unlink(const QString& name) override
    {
        const auto it = m_links.constFind(name);
        if (it == m_links.constEnd())
            throw VtError(msg::ItemNotFound(name));
        if (it->isEmpty()) {
            exec("DROP TABLE temp." + QuoteIdent(name));
        } else {
            exec("DROP VIEW temp." + QuoteIdent(name));
            exec("DETACH DATABASE " + *it);
        }
        m_links.remove(name);
        m_keys.remove(name.toCaseFolded());
    }
    QStringList links() const override { return m_links.keys(); }

    void begin() override
    {
        if (m_txDepth++ == 0)
            exec(QStringLiteral("BEGIN"));
    }
    void commit() override
    {
        if (m_txDepth > 0 && --m_txDepth == 0)
            exec(QStringLiteral("COMMIT"));
    }
    void rollback() override
    {
        if (m_txDepth > 0 && --m_txDepth == 0 && m_h->db && !sqlite3_get_autocommit(m_h->db))
            exec(QStringLiteral("ROLLBACK"));
    }

    QString attachPath() const override
    {
        if (!m_h->db)
            return {};
        const char* f = sqlite3_db_filename(m_h->db, "main");
        return f ? QString::fromUtf8(f) : QString();
    }

private:
    void live() const
    {
        if (!m_h->db)
            throw VtError(msg::Closed());
    }
    HandlePtr m_h;
    bool m_updatable;
    int m_txDepth = 0;
    int m_linkSerial = 0;
    QHash<QString, QString> m_links; // link name -> attached alias (empty: a copied table)
    QHash<QString, QString> m_keys;
};

sqlite3* openRaw(const QString& path, int flags, const QString& name)
{
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const QString m = errorText(db, rc, name);
        sqlite3_close_v2(db);
        throw VtError(m);
    }
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, 1500);
    RegisterJetFunctions(db);
    return db;
}

// Reads the schema once so that a file that is no database, a damaged one or
// a locked one fails at open with a clear message.
void validate(sqlite3* db, const QString& name, const QString& path)
{
    sqlite3_stmt* s = nullptr;
    int rc = sqlite3_prepare_v2(db, "SELECT count(*) FROM sqlite_schema", -1, &s, nullptr);
    if (rc == SQLITE_OK) {
        rc = sqlite3_step(s);
        if (rc == SQLITE_ROW)
            rc = SQLITE_OK;
    }
    sqlite3_finalize(s);
    if (rc != SQLITE_OK)
        throw VtError(errorText(db, rc, name));
    // A file cut short: fewer bytes than the pages the header counts.
    sqlite3_stmt* p = nullptr;
    qint64 pages = 0, pageSize = 0;
    if (sqlite3_prepare_v2(db, "SELECT page_count, page_size FROM pragma_page_count(), pragma_page_size()", -1, &p, nullptr)
            == SQLITE_OK
        && sqlite3_step(p) == SQLITE_ROW) {
        pages = sqlite3_column_int64(p, 0);
        pageSize = sqlite3_column_int64(p, 1);
    }
    sqlite3_finalize(p);
    const qint64 size = QFileInfo(path).size();
    if (pageSize > 0 && (size < pages * pageSize || size % pageSize != 0))
        throw VtError(msg::Corrupt(name));
}

} // namespace

void RegisterJetFunctions(sqlite3* db)
{
    sqlite3_create_collation(db, kJetCollation, SQLITE_UTF8, nullptr, jetNoCase);
    sqlite3_create_function(db, "match", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, nullptr, jetMatch,
                            nullptr, nullptr);
}

bool SqliteDriver::isSqliteHeader(const QByteArray& head)
{
    return head.startsWith(QByteArray("SQLite format 3\0", 16));
}

bool IsJetHeader(const QByteArray& head)
{
    return head.size() >= 19
        && (head.mid(4, 15) == QByteArray("Standard Jet DB") || head.mid(4, 15) == QByteArray("Standard ACE DB"));
}

bool SqliteDriver::accepts(const OpenRequest& r) const
{
    return !r.odbc && r.connectType.isEmpty() && isSqliteHeader(r.head);
}

ConnectionPtr SqliteDriver::open(const OpenRequest& r)
{
    const QFileInfo fi(r.name);
    const QString path = fi.absoluteFilePath();
    // Write access needs the file and, for the journal, its folder. A file
    // marked read-only (no write permission bit) counts as read-only even for
    // a process that could write it anyway (root).
    const auto anyWrite = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    const bool writable = !r.readOnly && fi.isWritable() && (fi.permissions() & anyWrite)
        && QFileInfo(fi.absolutePath()).isWritable();
    sqlite3* db = openRaw(path, writable ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY, r.name);
    try {
        if (r.exclusive)
            sqlite3_exec(db, "PRAGMA locking_mode=EXCLUSIVE", nullptr, nullptr, nullptr);
        validate(db, r.name, path);
    } catch (...) {
        sqlite3_close_v2(db);
        throw;
    }
    return std::make_shared<SqliteConnection>(db, r.name, writable);
}

ConnectionPtr SqliteDriver::create(const QString& path)
{
    sqlite3* db = openRaw(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, path);
    // Write the file's first page now, so the new file is a database at once.
    if (sqlite3_exec(db, "PRAGMA user_version=1; PRAGMA user_version=0;", nullptr, nullptr, nullptr) != SQLITE_OK) {
        const QString m = errorText(db, sqlite3_errcode(db), path);
        sqlite3_close_v2(db);
        throw VtError(m);
    }
    return std::make_shared<SqliteConnection>(db, path, true);
}

ConnectionPtr SqliteDriver::openMemory(const QString& name)
{
    sqlite3* db = openRaw(QStringLiteral(":memory:"), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, name);
    return std::make_shared<SqliteConnection>(db, name, false);
}

// ---- the driver registry ------------------------------------------------

namespace {
std::vector<std::unique_ptr<Driver>>& added()
{
    static std::vector<std::unique_ptr<Driver>> d;
    return d;
}
} // namespace

void Drivers::add(std::unique_ptr<Driver> d) { added().push_back(std::move(d)); }

Driver& Drivers::native()
{
    static SqliteDriver d;
    return d;
}

Driver& Drivers::choose(const OpenRequest& r)
{
    for (auto& d : added())
        if (d->accepts(r))
            return *d;
    if (native().accepts(r))
        return native();
    if (r.odbc)
        throw VtError(msg::OdbcNotSupported());
    if (!r.connectType.isEmpty())
        throw VtError(msg::FormatNotSupported(r.connectType));
    if (IsJetHeader(r.head))
        throw VtError(msg::AccessNotSupported(r.name));
    throw VtError(msg::NotADatabase(r.name));
}

} // namespace vt::db
