#include "Engine.h"

#include "Messages.h"
#include "SqliteDriver.h"
#include "platform/Error.h"

#include <QFile>
#include <QFileInfo>

namespace vt::db {

DBEngine& Engine()
{
    static DBEngine e;
    return e;
}

QString ConnectType(const QString& connect)
{
    const qsizetype semi = connect.indexOf(';');
    const QString first = (semi < 0 ? connect : connect.left(semi)).trimmed();
    return first.contains('=') ? QString() : first;
}

QString ConnectValue(const QString& connect, const QString& key)
{
    for (const QString& part : connect.split(';')) {
        const qsizetype eq = part.indexOf('=');
        if (eq > 0 && part.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return part.mid(eq + 1).trimmed();
    }
    return {};
}

DatabasePtr DBEngine::OpenDatabase(const QString& name, int options, bool readOnly, const QString& connect)
{
    return open(name, options != 0, readOnly, connect, m_defaultType, true);
}

DatabasePtr DBEngine::OpenUnlisted(const QString& name, bool exclusive, bool readOnly, const QString& connect,
                                   int engineType)
{
    return open(name, exclusive, readOnly, connect, engineType, false);
}

DatabasePtr DBEngine::open(const QString& name, bool exclusive, bool readOnly, const QString& connect, int type,
                           bool listed)
{
    OpenRequest r;
    r.name = name;
    r.connect = connect;
    r.connectType = ConnectType(connect);
    r.readOnly = readOnly;
    r.exclusive = exclusive;
    r.odbc = type == dbUseODBC || r.connectType.compare(QLatin1String("ODBC"), Qt::CaseInsensitive) == 0;
    if (!r.odbc) {
        const QFileInfo fi(name);
        if (name.isEmpty() || !fi.exists())
            throw VtError(msg::NoSuchFile(name));
        if (fi.isFile()) {
            QFile f(name);
            if (!f.open(QIODevice::ReadOnly))
                throw VtError(msg::CannotOpen(name, f.errorString() + '.'));
            r.head = f.read(100);
            if (r.head.isEmpty() && r.connectType.isEmpty())
                throw VtError(msg::NotADatabase(name));
        } else if (r.connectType.isEmpty()) {
            throw VtError(msg::NotADatabase(name));
        }
    }
    Driver& d = Drivers::choose(r);
    auto db = std::make_shared<Database>(d.open(r), connect);
    if (listed)
        m_open.push_back(db);
    return db;
}

DatabasePtr DBEngine::CreateDatabase(const QString& path, const QString& locale)
{
    if (path.isEmpty())
        throw VtError(msg::NoSuchFile(path));
    if (QFileInfo::exists(path))
        throw VtError(msg::AlreadyExists(path));
    auto db = std::make_shared<Database>(Drivers::native().create(path), QString());
    m_open.push_back(db);
    return db;
}

std::vector<DatabasePtr> DBEngine::Databases()
{
    std::vector<DatabasePtr> out;
    std::vector<std::weak_ptr<Database>> keep;
    for (auto& w : m_open) {
        if (auto db = w.lock(); db && db->isOpen()) {
            out.push_back(db);
            keep.push_back(w);
        }
    }
    m_open = std::move(keep);
    return out;
}

void DBEngine::CloseAll()
{
    for (auto& db : Databases())
        db->Close();
    m_open.clear();
}

} // namespace vt::db
