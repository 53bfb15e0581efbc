#include "Recordset.h"

#include "JetSql.h"
#include "Messages.h"
#include "platform/Error.h"

#include <QtEndian>
#include <algorithm>
#include <unordered_set>

namespace vt::db {

namespace {
constexpr long kPage = 200;    // rows per page read at once
constexpr size_t kMaxPages = 64; // pages kept in memory
} // namespace

// ---- Field / FieldList ----------------------------------------------------

QVariant Field::Value() const { return m_rs->current(m_index); }

void Field::setValue(const QVariant& v) { m_rs->set(m_index, v); }

Field* FieldList::find(const QString& name)
{
    const auto it = m_index.constFind(name.toCaseFolded());
    return it == m_index.constEnd() ? nullptr : &m_fields[size_t(*it)];
}

const Field* FieldList::find(const QString& name) const
{
    return const_cast<FieldList*>(this)->find(name);
}

Field& FieldList::operator[](const QString& name)
{
    if (Field* f = find(name))
        return *f;
    throw VtError(msg::ItemNotFound(name));
}

std::vector<FieldInfo> FieldList::infos() const
{
    std::vector<FieldInfo> out;
    for (const Field& f : m_fields)
        out.push_back(f.m_info);
    return out;
}

// ---- opening ------------------------------------------------------------

Recordset::~Recordset() { Close(); }

void Recordset::init(ConnectionPtr conn, const QString& source, int type, bool updatableDb)
{
    m_conn = std::move(conn);
    m_source = source;
    m_type = type;
    const JetStatement st = TranslateJet(source);
    if (st.kind != JetStatement::Select)
        throw VtError(QStringLiteral("The statement does not return records; it cannot be opened as a record set."));
    {
        auto check = m_conn->prepare(st.sql);
        if (const int n = check->parameterCount())
            throw VtError(msg::Parameters(n));
    }
    if (!st.table.isEmpty()) {
        bool isTable = false;
        for (const CatalogEntry& e : m_conn->catalog())
            if (e.kind != CatalogEntry::View && e.name.compare(st.table, Qt::CaseInsensitive) == 0) {
                isTable = true;
                m_table = e.name;
            }
        if (isTable)
            m_keyName = m_conn->rowKey(m_table);
    }

    std::unique_ptr<Statement> meta;
    int first = 0;
    if (keyed()) {
        m_from = st.from;
        m_columns = st.columns;
        m_where = st.where;
        m_orderBy = st.orderBy;
        meta = m_conn->prepare("SELECT " + m_keyName + ", " + m_columns + " FROM " + m_from + " LIMIT 0");
        first = 1;
        for (const ColumnInfo& c : m_conn->columns(m_table))
            if (c.primaryKey && c.declType.compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0)
                m_keyAliasColumn = m_keyAliasColumn.isEmpty() ? c.name : QStringLiteral("\n"); // composite: none
        if (m_keyAliasColumn == QLatin1String("\n"))
            m_keyAliasColumn.clear();
    } else {
        m_sql = st.sql;
        meta = m_conn->prepare(m_sql);
    }
    for (int i = first; i < meta->columnCount(); ++i) {
        Field f;
        f.m_rs = this;
        f.m_index = i - first;
        f.m_info.name = meta->columnName(i);
        const QString decl = meta->declType(i);
        f.m_info.type = FieldTypeOfDecl(decl);
        f.m_info.size = f.m_info.type == dbText ? FieldSizeOfDecl(decl) : 0;
        f.m_info.sourceTable = meta->originTable(i);
        f.m_info.sourceField = meta->originColumn(i);
        const QString key = f.m_info.name.toCaseFolded();
        if (!m_fields.m_index.contains(key))
            m_fields.m_index.insert(key, f.m_index);
        m_fields.m_fields.push_back(f);
    }
    meta.reset();

    m_updatable = keyed() && updatableDb && (type == dbOpenTable || type == dbOpenDynaset);
    if (keyed()) {
        if (m_where.isEmpty() && m_orderBy.isEmpty()) {
            m_allKeys = false;
            auto c = m_conn->prepare("SELECT count(*) FROM " + m_from);
            m_count = c->step() ? long(c->int64(0)) : 0;
            if (m_count == 0)
                m_allKeys = true;
        } else {
            QString q = "SELECT " + m_keyName + " FROM " + m_from;
            if (!m_where.isEmpty())
                q += " WHERE " + m_where;
            if (!m_orderBy.isEmpty())
                q += " ORDER BY " + m_orderBy;
            auto k = m_conn->prepare(q);
            while (k->step())
                m_keys.push_back(k->int64(0));
            m_count = long(m_keys.size());
        }
    } else {
        auto c = m_conn->prepare("SELECT count(*) FROM (" + m_sql + ")");
        m_count = c->step() ? long(c->int64(0)) : 0;
    }
    m_pos = 0;
    const int n = m_fields.Count();
    m_buffer.assign(size_t(n), QVariant());
    m_stored.assign(size_t(n), QVariant());
    m_dirty.assign(size_t(n), false);
}

void Recordset::live() const
{
    if (!m_conn || !m_conn->isOpen())
        throw VtError(msg::Closed());
}

bool Recordset::isOpen() const { return m_conn && m_conn->isOpen(); }

void Recordset::Close()
{
    if (!m_conn)
        return;
    const auto keep = weak_from_this().lock(); // a listener may drop the last handle
    const auto ls = m_listeners;
    for (RecordsetListener* l : ls)
        l->recordsetClosing(*this);
    m_listeners.clear();
    m_cursor.reset();
    m_pages.clear();
    m_keys.clear();
    m_conn.reset();
}

bool Recordset::Updatable() const { return m_updatable && isOpen() && m_conn->updatable(); }

// ---- listeners ----------------------------------------------------------

void Recordset::addListener(RecordsetListener* l)
{
    if (std::find(m_listeners.begin(), m_listeners.end(), l) == m_listeners.end())
        m_listeners.push_back(l);
}

void Recordset::removeListener(RecordsetListener* l) { std::erase(m_listeners, l); }

bool Recordset::notify(int action)
{
    bool cancel = false;
    const auto keep = weak_from_this().lock();
    const auto ls = m_listeners;
    for (RecordsetListener* l : ls)
        l->recordsetBeforeChange(*this, action, cancel);
    return !cancel;
}

void Recordset::moved()
{
    const auto keep = weak_from_this().lock();
    const auto ls = m_listeners;
    for (RecordsetListener* l : ls)
        l->recordsetMoved(*this);
}

void Recordset::changed(RecordsetListener::Change c, long pos)
{
    const auto keep = weak_from_this().lock();
    const auto ls = m_listeners;
    for (RecordsetListener* l : ls)
        l->recordsetRowsChanged(*this, c, pos);
}

// ---- position -----------------------------------------------------------

bool Recordset::BOF() const { return m_count == 0 || m_pos < 0; }
bool Recordset::EOF_() const { return m_count == 0 || m_pos >= m_count; }

long Recordset::AbsolutePosition() const
{
    if (!isOpen() || m_currentDeleted || m_pos < 0 || m_pos >= m_count)
        return -1;
    return m_pos;
}

void Recordset::needCurrent() const
{
    live();
    if (m_currentDeleted)
        throw VtError(msg::Deleted());
    if (m_pos < 0 || m_pos >= m_count)
        throw VtError(msg::NoCurrentRecord());
}

void Recordset::dropEdit()
{
    m_editMode = dbEditNone;
    std::fill(m_dirty.begin(), m_dirty.end(), false);
}

void Recordset::goTo(long pos, int action)
{
    if (!notify(action))
        return;
    dropEdit();
    m_currentDeleted = false;
    m_pos = pos;
    moved();
}

void Recordset::MoveFirst()
{
    live();
    if (m_count == 0)
        throw VtError(msg::NoCurrentRecord());
    goTo(0, actMoveFirst);
}

void Recordset::MoveLast()
{
    live();
    if (m_count == 0)
        throw VtError(msg::NoCurrentRecord());
    goTo(m_count - 1, actMoveLast);
}

void Recordset::MoveNext()
{
    live();
    long to;
    if (m_currentDeleted)
        to = std::min(m_pos, m_count);
    else if (m_pos >= m_count)
        throw VtError(msg::NoCurrentRecord());
    else
        to = m_pos < 0 ? 0 : m_pos + 1;
    goTo(std::min(to, m_count), actMoveNext);
}

void Recordset::MovePrevious()
{
    live();
    if (m_pos < 0 || m_count == 0)
        throw VtError(msg::NoCurrentRecord());
    const long to = std::min(m_pos, m_count) - 1;
    goTo(to, actMovePrevious);
}

void Recordset::Move(long rows)
{
    needCurrent();
    if (rows == 0) {
        m_pages.erase(m_pos / kPage); // re-read the current record
        goTo(m_pos, actBookmark);
        return;
    }
    long to = m_pos + rows;
    if (to < 0)
        to = -1;
    if (to > m_count)
        to = m_count;
    goTo(to, rows > 0 ? actMoveNext : actMovePrevious);
}

void Recordset::setAbsolutePosition(long pos)
{
    live();
    if (pos < 0 || pos >= m_count)
        throw VtError(QStringLiteral("Invalid argument."));
    goTo(pos, actBookmark);
}

// ---- reading ------------------------------------------------------------

qint64 Recordset::keyAt(long pos) const
{
    auto* self = const_cast<Recordset*>(this);
    self->loadKeys(pos + 1);
    return m_keys.at(size_t(pos));
}

void Recordset::loadKeys(long n)
{
    while (!m_allKeys && long(m_keys.size()) < n) {
        const long want = n - long(m_keys.size());
        if (want > 8 * kPage) {
            loadAllKeys();
            return;
        }
        QString q = "SELECT " + m_keyName + " FROM " + m_from;
        if (!m_keys.empty())
            q += " WHERE " + m_keyName + " > " + QString::number(m_keys.back());
        q += " ORDER BY " + m_keyName + " LIMIT " + QString::number(std::max(want, kPage));
        auto s = m_conn->prepare(q);
        long got = 0;
        while (s->step()) {
            m_keys.push_back(s->int64(0));
            ++got;
        }
        if (got < std::max(want, kPage))
            m_allKeys = true;
    }
}

void Recordset::loadAllKeys()
{
    if (m_allKeys)
        return;
    QString q = "SELECT " + m_keyName + " FROM " + m_from;
    if (!m_keys.empty())
        q += " WHERE " + m_keyName + " > " + QString::number(m_keys.back());
    q += " ORDER BY " + m_keyName;
    auto s = m_conn->prepare(q);
    while (s->step())
        m_keys.push_back(s->int64(0));
    m_allKeys = true;
    if (long(m_keys.size()) != m_count) { // rows added or removed by someone else since the open
        m_count = long(m_keys.size());
        m_pages.clear();
        changed(RecordsetListener::Reset, 0);
    }
}

void Recordset::loadPage(long page)
{
    const long begin = page * kPage;
    const long end = std::min(begin + kPage, m_count);
    Page p;
    p.rows.resize(size_t(std::max(0L, end - begin)));
    const int n = m_fields.Count();
    auto fill = [&](Row& r, const Statement& s, int first) {
        r.values.resize(size_t(n));
        for (int i = 0; i < n; ++i)
            r.values[size_t(i)] = FromStored(m_fields.m_fields[size_t(i)].m_info.type, s.value(i + first));
        r.missing = false;
    };
    if (keyed()) {
        if (!m_allKeys && long(m_keys.size()) == begin) {
            // Walking a lazy keyset forward: read keys and rows in one go.
            QString q = "SELECT " + m_keyName + ", " + m_columns + " FROM " + m_from;
            if (!m_keys.empty())
                q += " WHERE " + m_keyName + " > " + QString::number(m_keys.back());
            q += " ORDER BY " + m_keyName + " LIMIT " + QString::number(kPage);
            auto s = m_conn->prepare(q);
            long got = 0;
            while (got < long(p.rows.size()) && s->step()) {
                m_keys.push_back(s->int64(0));
                fill(p.rows[size_t(got)], *s, 1);
                ++got;
            }
            if (got < kPage)
                m_allKeys = true;
            for (long i = got; i < long(p.rows.size()); ++i)
                p.rows[size_t(i)].missing = true;
        } else {
            loadKeys(end);
            QStringList keys;
            QHash<qint64, long> slot;
            for (long i = begin; i < end && i < long(m_keys.size()); ++i) {
                keys << QString::number(m_keys[size_t(i)]);
                slot.insert(m_keys[size_t(i)], i - begin);
            }
            for (Row& r : p.rows)
                r.missing = true;
            if (!keys.isEmpty()) {
                auto s = m_conn->prepare("SELECT " + m_keyName + ", " + m_columns + " FROM " + m_from + " WHERE "
                                         + m_keyName + " IN (" + keys.join(',') + ')');
                while (s->step()) {
                    const auto it = slot.constFind(s->int64(0));
                    if (it != slot.constEnd())
                        fill(p.rows[size_t(*it)], *s, 1);
                }
            }
        }
    } else {
        if (!m_cursor || m_cursorPos != begin) {
            m_cursor = m_conn->prepare("SELECT * FROM (" + m_sql + ") LIMIT -1 OFFSET " + QString::number(begin));
            m_cursorPos = begin;
        }
        long got = 0;
        while (got < long(p.rows.size()) && m_cursor->step()) {
            fill(p.rows[size_t(got)], *m_cursor, 0);
            ++got;
        }
        m_cursorPos += got;
        for (long i = got; i < long(p.rows.size()); ++i)
            p.rows[size_t(i)].missing = true;
        if (got < kPage || m_cursorPos >= m_count)
            m_cursor.reset(); // at the end: release the statement (and its read lock)
    }
    if (m_pages.size() >= kMaxPages) {
        auto oldest = m_pages.begin();
        for (auto it = m_pages.begin(); it != m_pages.end(); ++it)
            if (it->second.used < oldest->second.used)
                oldest = it;
        m_pages.erase(oldest);
    }
    p.used = ++m_useCounter;
    m_pages[page] = std::move(p);
}

const Recordset::Row& Recordset::rowAt(long pos)
{
    const long page = pos / kPage;
    auto it = m_pages.find(page);
    if (it == m_pages.end()) {
        loadPage(page);
        it = m_pages.find(page);
    }
    it->second.used = ++m_useCounter;
    static const Row none{{}, true};
    const size_t i = size_t(pos - page * kPage);
    return i < it->second.rows.size() ? it->second.rows[i] : none;
}

QVariant Recordset::current(int field)
{
    if (m_editMode != dbEditNone) {
        live();
        return m_buffer.at(size_t(field));
    }
    needCurrent();
    const Row& r = rowAt(m_pos);
    if (r.missing)
        throw VtError(msg::Deleted());
    return r.values.at(size_t(field));
}

QVariant Recordset::valueAt(long position, int field)
{
    live();
    if (position < 0 || position >= m_count || field < 0 || field >= m_fields.Count())
        return {};
    const Row& r = rowAt(position);
    return r.missing ? QVariant() : r.values.at(size_t(field));
}

// ---- editing ------------------------------------------------------------

void Recordset::set(int field, const QVariant& v)
{
    live();
    if (m_editMode == dbEditNone)
        throw VtError(msg::NoEdit());
    const FieldInfo& fi = m_fields.m_fields.at(size_t(field)).m_info;
    const QVariant stored = ToStored(fi.type, fi.size, v);
    m_stored[size_t(field)] = stored;
    m_buffer[size_t(field)] = FromStored(fi.type, stored);
    m_dirty[size_t(field)] = true;
}

void Recordset::AddNew()
{
    live();
    if (!Updatable())
        throw VtError(msg::NotUpdatable());
    if (!notify(actAddNew))
        return;
    dropEdit();
    std::fill(m_buffer.begin(), m_buffer.end(), QVariant());
    std::fill(m_stored.begin(), m_stored.end(), QVariant());
    m_editMode = dbEditAdd;
}

void Recordset::Edit()
{
    live();
    if (!Updatable())
        throw VtError(msg::NotUpdatable());
    needCurrent();
    const Row& r = rowAt(m_pos);
    if (r.missing)
        throw VtError(msg::Deleted());
    dropEdit();
    m_buffer = r.values;
    m_editMode = dbEditInProgress;
}

void Recordset::CancelUpdate() { dropEdit(); }

void Recordset::Update()
{
    live();
    if (m_editMode == dbEditNone)
        throw VtError(msg::NoEdit());
    if (!Updatable())
        throw VtError(msg::NotUpdatable());
    if (!notify(actUpdate))
        return;
    const int n = m_fields.Count();
    QStringList cols;
    std::vector<QVariant> vals;
    int aliasIndex = -1;
    for (int i = 0; i < n; ++i) {
        if (!m_dirty[size_t(i)])
            continue;
        const FieldInfo& fi = m_fields.m_fields[size_t(i)].m_info;
        const QString col = fi.sourceField.isEmpty() ? fi.name : fi.sourceField;
        if (!m_keyAliasColumn.isEmpty() && col.compare(m_keyAliasColumn, Qt::CaseInsensitive) == 0)
            aliasIndex = i;
        cols << QuoteIdent(col);
        vals.push_back(m_stored[size_t(i)]);
    }
    if (m_editMode == dbEditInProgress) {
        if (!cols.isEmpty()) {
            QStringList sets;
            for (const QString& c : cols)
                sets << c + " = ?";
            auto s = m_conn->prepare("UPDATE " + QuoteIdent(m_table) + " SET " + sets.join(", ") + " WHERE "
                                     + m_keyName + " = ?");
            for (size_t i = 0; i < vals.size(); ++i)
                s->bind(int(i) + 1, vals[i]);
            s->bind(int(vals.size()) + 1, keyAt(m_pos));
            s->step();
            s.reset();
            auto ch = m_conn->prepare(QStringLiteral("SELECT changes()"));
            if (ch->step() && ch->int64(0) == 0) {
                dropEdit();
                throw VtError(msg::Deleted());
            }
            if (aliasIndex >= 0 && !m_stored[size_t(aliasIndex)].isNull())
                m_keys[size_t(m_pos)] = m_stored[size_t(aliasIndex)].toLongLong();
            m_pages.erase(m_pos / kPage);
        }
        dropEdit();
        changed(RecordsetListener::RowUpdated, m_pos);
        return;
    }
    // Adding.
    QString q = "INSERT INTO " + QuoteIdent(m_table);
    if (cols.isEmpty()) {
        q += QStringLiteral(" DEFAULT VALUES");
    } else {
        QStringList marks;
        for (int i = 0; i < cols.size(); ++i)
            marks << QStringLiteral("?");
        q += " (" + cols.join(", ") + ") VALUES (" + marks.join(", ") + ')';
    }
    auto s = m_conn->prepare(q);
    for (size_t i = 0; i < vals.size(); ++i)
        s->bind(int(i) + 1, vals[i]);
    s->step();
    s.reset();
    loadAllKeys();
    const bool atEnd = m_pos >= m_count;
    m_keys.push_back(m_conn->lastInsertRowId());
    ++m_count;
    if (atEnd)
        m_pos = m_count;
    m_pages.erase((m_count - 1) / kPage);
    dropEdit();
    changed(RecordsetListener::RowInserted, m_count - 1);
}

void Recordset::Delete()
{
    live();
    if (!Updatable())
        throw VtError(msg::NotUpdatable());
    needCurrent();
    if (!notify(actDelete))
        return;
    dropEdit();
    auto s = m_conn->prepare("DELETE FROM " + QuoteIdent(m_table) + " WHERE " + m_keyName + " = ?");
    s->bind(1, keyAt(m_pos));
    s->step();
    s.reset();
    m_keys.erase(m_keys.begin() + m_pos);
    --m_count;
    m_pages.clear();
    m_currentDeleted = true;
    changed(RecordsetListener::RowRemoved, m_pos);
}

// ---- finding ------------------------------------------------------------

long Recordset::find(const QString& criterion, long start, bool forward)
{
    live();
    const QString cond = TranslateJetCondition(criterion);
    if (keyed()) {
        loadAllKeys();
        std::unordered_set<qint64> hits;
        auto s = m_conn->prepare("SELECT " + m_keyName + " FROM " + m_from + " WHERE (" + cond + ')');
        if (const int n = s->parameterCount())
            throw VtError(msg::Parameters(n));
        while (s->step())
            hits.insert(s->int64(0));
        if (forward) {
            for (long i = std::max(0L, start); i < m_count; ++i)
                if (hits.count(m_keys[size_t(i)]))
                    return i;
        } else {
            for (long i = std::min(start, m_count - 1); i >= 0; --i)
                if (hits.count(m_keys[size_t(i)]))
                    return i;
        }
        return -1;
    }
    const QString q = "SELECT vt_n FROM (SELECT row_number() OVER () - 1 AS vt_n, * FROM (" + m_sql + ")) WHERE vt_n "
        + (forward ? ">= ?" : "<= ?") + " AND (" + cond + ") ORDER BY vt_n " + (forward ? "LIMIT 1" : "DESC LIMIT 1");
    auto s = m_conn->prepare(q);
    if (s->parameterCount() != 1)
        throw VtError(msg::Parameters(s->parameterCount() - 1));
    s->bind(1, qint64(start));
    return s->step() ? long(s->int64(0)) : -1;
}

void Recordset::FindFirst(const QString& criterion)
{
    const long p = find(criterion, 0, true);
    m_noMatch = p < 0;
    if (p >= 0)
        goTo(p, actFind);
}

void Recordset::FindLast(const QString& criterion)
{
    const long p = find(criterion, m_count - 1, false);
    m_noMatch = p < 0;
    if (p >= 0)
        goTo(p, actFind);
}

void Recordset::FindNext(const QString& criterion)
{
    const long from = m_currentDeleted ? m_pos : m_pos + 1;
    const long p = find(criterion, from, true);
    m_noMatch = p < 0;
    if (p >= 0)
        goTo(p, actFind);
}

void Recordset::FindPrevious(const QString& criterion)
{
    const long p = find(criterion, std::min(m_pos, m_count) - 1, false);
    m_noMatch = p < 0;
    if (p >= 0)
        goTo(p, actFind);
}

// ---- bookmarks ----------------------------------------------------------

QByteArray Recordset::Bookmark() const
{
    needCurrent();
    QByteArray b(9, '\0');
    b[0] = keyed() ? 'K' : 'P';
    const qint64 v = keyed() ? keyAt(m_pos) : qint64(m_pos);
    qToLittleEndian(v, b.data() + 1);
    return b;
}

void Recordset::setBookmark(const QByteArray& b)
{
    live();
    if (b.size() != 9 || b[0] != (keyed() ? 'K' : 'P'))
        throw VtError(msg::BadBookmark());
    const qint64 v = qFromLittleEndian<qint64>(b.constData() + 1);
    long pos = -1;
    if (keyed()) {
        auto it = std::find(m_keys.begin(), m_keys.end(), v);
        if (it == m_keys.end() && !m_allKeys) {
            loadAllKeys();
            it = std::find(m_keys.begin(), m_keys.end(), v);
        }
        if (it != m_keys.end())
            pos = long(it - m_keys.begin());
    } else if (v >= 0 && v < m_count) {
        pos = long(v);
    }
    if (pos < 0)
        throw VtError(msg::BadBookmark());
    goTo(pos, actBookmark);
}

} // namespace vt::db
