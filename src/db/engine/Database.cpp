#include "Database.h"

#include "Engine.h"
#include "JetSql.h"
#include "Messages.h"
#include "Recordset.h"
#include "platform/Error.h"

#include <QFileInfo>

namespace vt::db {

// ---- FieldDef -----------------------------------------------------------

void FieldDef::setName(const QString& name)
{
    if (name == m_name)
        return;
    if (m_table)
        m_table->renameField(*this, name);
    else
        m_name = name;
}

// ---- TableDef -----------------------------------------------------------

Connection& TableDef::conn() const
{
    if (!m_conn || !m_conn->isOpen())
        throw VtError(msg::Closed());
    return *m_conn;
}

FieldDef* TableDef::findField(const QString& name) const
{
    for (const auto& f : m_fields)
        if (f->Name().compare(name, Qt::CaseInsensitive) == 0)
            return f.get();
    return nullptr;
}

FieldDef& TableDef::Fields(const QString& name) const
{
    if (FieldDef* f = findField(name))
        return *f;
    throw VtError(msg::ItemNotFound(name));
}

std::unique_ptr<FieldDef> TableDef::CreateField(const QString& name, int type, int size) const
{
    auto f = std::make_unique<FieldDef>();
    f->m_name = name;
    f->m_type = type;
    f->m_size = type == dbText ? (size > 0 ? size : 255) : size;
    f->m_decl = DeclOfFieldType(type, type == dbText ? f->m_size : 0);
    f->m_allowZeroLength = false;
    return f;
}

void TableDef::AppendField(std::unique_ptr<FieldDef> field)
{
    if (!field || field->Name().trimmed().isEmpty())
        throw VtError(QStringLiteral("The field name is not valid."));
    if (findField(field->Name()))
        throw VtError("Field '" + field->Name() + "' already exists in table '" + m_name + "'.");
    if (m_conn) {
        if (m_attributes & dbAttachedTable)
            throw VtError(msg::NotSupported(QStringLiteral("Changing a linked table")));
        conn().exec("ALTER TABLE " + QuoteIdent(m_name) + " ADD COLUMN " + QuoteIdent(field->Name()) + ' '
                    + field->m_decl);
        field->m_table = this;
    }
    m_fields.push_back(std::move(field));
}

void TableDef::DeleteField(const QString& name)
{
    FieldDef* f = findField(name);
    if (!f)
        throw VtError(msg::ItemNotFound(name));
    if (m_conn) {
        if (m_attributes & dbAttachedTable)
            throw VtError(msg::NotSupported(QStringLiteral("Changing a linked table")));
        conn().exec("ALTER TABLE " + QuoteIdent(m_name) + " DROP COLUMN " + QuoteIdent(f->Name()));
    }
    std::erase_if(m_fields, [f](const auto& p) { return p.get() == f; });
}

void TableDef::renameField(FieldDef& f, const QString& name)
{
    if (name.trimmed().isEmpty())
        throw VtError(QStringLiteral("The field name is not valid."));
    if (FieldDef* other = findField(name); other && other != &f)
        throw VtError("Field '" + name + "' already exists in table '" + m_name + "'.");
    if (m_attributes & dbAttachedTable)
        throw VtError(msg::NotSupported(QStringLiteral("Changing a linked table")));
    conn().exec("ALTER TABLE " + QuoteIdent(m_name) + " RENAME COLUMN " + QuoteIdent(f.m_name) + " TO "
                + QuoteIdent(name));
    f.m_name = name;
}

void TableDef::setName(const QString& name)
{
    if (name == m_name)
        return;
    if (m_conn) {
        if (m_attributes & (dbAttachedTable | dbSystemObject))
            throw VtError(msg::NotSupported(QStringLiteral("Renaming this table")));
        conn().exec("ALTER TABLE " + QuoteIdent(m_name) + " RENAME TO " + QuoteIdent(name));
    }
    m_name = name;
}

// ---- Database -----------------------------------------------------------

Database::Database(ConnectionPtr conn, QString connect) : m_conn(std::move(conn)), m_connect(std::move(connect))
{
    m_name = m_conn->name();
}

Database::~Database() { Close(); }

bool Database::isOpen() const { return m_conn && m_conn->isOpen(); }

bool Database::Updatable() const { return isOpen() && m_conn->updatable(); }

void Database::Close()
{
    if (m_conn)
        m_conn->close();
    for (auto& s : m_linkSources)
        s->close();
    m_linkSources.clear();
}

Connection& Database::connection() const
{
    if (!isOpen())
        throw VtError(msg::Closed());
    return *m_conn;
}

std::unique_ptr<TableDef> Database::makeTableDef(const CatalogEntry& e)
{
    auto t = std::make_unique<TableDef>();
    t->m_conn = m_conn;
    t->m_name = e.name;
    if (e.kind == CatalogEntry::System)
        t->m_attributes = dbSystemObject;
    else if (e.kind == CatalogEntry::Hidden)
        t->m_attributes = dbHiddenObject;
    if (m_conn->links().contains(e.name)) {
        t->m_attributes |= dbAttachedTable;
    }
    for (const ColumnInfo& c : m_conn->columns(e.name)) {
        auto f = std::make_unique<FieldDef>();
        f->m_table = t.get();
        f->m_name = c.name;
        f->m_decl = c.declType;
        f->m_type = FieldTypeOfDecl(c.declType);
        f->m_size = FieldSizeOfDecl(c.declType);
        f->m_required = c.notNull;
        t->m_fields.push_back(std::move(f));
    }
    return t;
}

std::vector<std::unique_ptr<TableDef>> Database::TableDefs()
{
    std::vector<std::unique_ptr<TableDef>> out;
    for (const CatalogEntry& e : connection().catalog())
        if (e.kind != CatalogEntry::View)
            out.push_back(makeTableDef(e));
    return out;
}

std::unique_ptr<TableDef> Database::TableDefs(const QString& name)
{
    for (const CatalogEntry& e : connection().catalog())
        if (e.kind != CatalogEntry::View && e.name.compare(name, Qt::CaseInsensitive) == 0)
            return makeTableDef(e);
    throw VtError(msg::ItemNotFound(name));
}

std::vector<QueryDef> Database::QueryDefs()
{
    std::vector<QueryDef> out;
    for (const CatalogEntry& e : connection().catalog())
        if (e.kind == CatalogEntry::View) {
            QueryDef q{e.name, e.sql, {}};
            try {
                for (const ColumnInfo& c : m_conn->columns(e.name))
                    q.Fields.push_back(FieldInfo{c.name, FieldTypeOfDecl(c.declType),
                                                 FieldSizeOfDecl(c.declType), {}, c.name});
            } catch (const VtError&) {
                // A query that no longer runs (a table it reads is gone) still
                // is a query; it just has no fields to show.
            }
            out.push_back(std::move(q));
        }
    return out;
}

void Database::Execute(const QString& jetSql)
{
    Connection& c = connection();
    const JetStatement st = TranslateJet(jetSql);
    if (st.kind == JetStatement::Select)
        throw VtError(QStringLiteral("Cannot execute a select query."));
    if (st.kind == JetStatement::SelectInto) {
        selectInto(st.intoTable, st.sql);
        return;
    }
    {
        auto s = c.prepare(st.sql);
        if (const int n = s->parameterCount())
            throw VtError(msg::Parameters(n));
    }
    m_affected = c.exec(st.sql);
}

void Database::selectInto(const QString& target, const QString& selectSql)
{
    Connection& c = connection();
    auto s = c.prepare(selectSql);
    if (const int n = s->parameterCount())
        throw VtError(msg::Parameters(n));
    QStringList cols, names;
    for (int i = 0; i < s->columnCount(); ++i) {
        const QString decl = s->declType(i);
        cols << (decl.isEmpty() ? QuoteIdent(s->columnName(i)) : QuoteIdent(s->columnName(i)) + ' ' + decl);
        names << QuoteIdent(s->columnName(i));
    }
    s.reset();
    c.begin();
    try {
        c.exec("CREATE TABLE " + QuoteIdent(target) + " (" + cols.join(", ") + ')');
        m_affected = c.exec("INSERT INTO " + QuoteIdent(target) + " (" + names.join(", ") + ") " + selectSql);
        c.commit();
    } catch (...) {
        c.rollback();
        throw;
    }
}

RecordsetPtr Database::OpenRecordset(const QString& source, int type)
{
    connection();
    const QString s = source.trimmed();
    static const QStringList starts = {"SELECT", "WITH", "VALUES", "(", "TRANSFORM", "PARAMETERS"};
    bool sql = false;
    for (const QString& w : starts)
        if (s.startsWith(w, Qt::CaseInsensitive)
            && (w == "(" || s.size() == w.size() || !s[w.size()].isLetterOrNumber()))
            sql = true;
    QString text = sql ? source : "SELECT * FROM " + QuoteIdent(s);
    RecordsetPtr rs(new Recordset);
    rs->init(m_conn, text, type, Updatable());
    return rs;
}

std::unique_ptr<TableDef> Database::CreateTableDef(const QString& name, long attributes, const QString& sourceTable,
                                                   const QString& connect)
{
    auto t = std::make_unique<TableDef>();
    t->m_name = name;
    t->m_attributes = attributes;
    t->m_sourceTable = sourceTable;
    t->m_connect = connect;
    return t;
}

void Database::AppendTableDef(std::unique_ptr<TableDef> def)
{
    Connection& c = connection();
    if (!def || def->Name().trimmed().isEmpty())
        throw VtError(QStringLiteral("The table name is not valid."));
    for (const CatalogEntry& e : c.catalog())
        if (e.name.compare(def->Name(), Qt::CaseInsensitive) == 0)
            throw VtError("Table '" + def->Name() + "' already exists.");
    if (!def->m_sourceTable.isEmpty() || !def->m_connect.isEmpty()) {
        // A linked table: open the source through its driver and make its table visible here.
        QString path = ConnectValue(def->m_connect, QStringLiteral("DATABASE"));
        const QString type = ConnectType(def->m_connect);
        const QString table = def->m_sourceTable.isEmpty() ? def->Name() : def->m_sourceTable;
        DatabasePtr src = Engine().OpenUnlisted(path, false, true, def->m_connect, dbUseJet);
        c.link(def->Name(), src->connection(), table);
        if (!type.isEmpty() || src->connection().attachPath().isEmpty())
            m_linkSources.push_back(src->connectionPtr());
        def->m_conn = m_conn;
        def->m_attributes |= dbAttachedTable;
        return;
    }
    if (def->m_fields.empty())
        throw VtError("The table '" + def->Name() + "' has no fields.");
    QStringList cols;
    for (const auto& f : def->m_fields)
        cols << QuoteIdent(f->Name()) + ' ' + f->m_decl;
    c.exec("CREATE TABLE " + QuoteIdent(def->Name()) + " (" + cols.join(", ") + ')');
    def->m_conn = m_conn;
    for (auto& f : def->m_fields)
        f->m_table = def.get();
}

void Database::DeleteTableDef(const QString& name)
{
    Connection& c = connection();
    for (const QString& l : c.links()) {
        if (l.compare(name, Qt::CaseInsensitive) == 0) {
            c.unlink(l);
            return;
        }
    }
    for (const CatalogEntry& e : c.catalog()) {
        if (e.kind == CatalogEntry::Table && e.name.compare(name, Qt::CaseInsensitive) == 0) {
            c.exec("DROP TABLE " + QuoteIdent(e.name));
            return;
        }
    }
    throw VtError(msg::ItemNotFound(name));
}

} // namespace vt::db
