#include "WorkspaceFile.h"

#include "Workspace.h"
#include "platform/Error.h"
#include "platform/ProfileFile.h"
#include "platform/Prompt.h"
#include "texts/ResText.h"

#include <QFile>
#include <algorithm>
#include <map>

namespace vt {
namespace {

const QString kCrLfMarker = QStringLiteral("..CrLf..");
const QString kCrLf = QStringLiteral("\r\n");
constexpr int kPieceLength = 128;

QString flagText(bool b) { return b ? QStringLiteral("True") : QStringLiteral("False"); }

// A flag as stored; anything but "True" or "False" keeps the fallback.
bool readFlag(const QString& v, bool fallback)
{
    if (v.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (v.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    return fallback;
}

// A decimal count; anything else, or a negative number, is 0.
qint64 readNumber(const QString& v)
{
    bool ok = false;
    const qint64 n = v.trimmed().toLongLong(&ok);
    return ok && n > 0 ? n : 0;
}

QString word(const QString& section, int id) { return section + '\\' + ResText(id); }
QString at(const QString& section, qint64 pos) { return section + '\\' + QString::number(pos); }

struct Writer {
    ProfileFile& out;
    const QString kName = ResText(txt::Name);
    const QString kCount = ResText(txt::Count);
    const QString kMessage = ResText(txt::Message);

    void text(const QString& section, const QString& key, const OptText& v)
    {
        if (v)
            out.write(section, key, *v);
        else
            out.removeKey(section, key); // a never-set field has no key
    }

    template <class Each>
    void folder(const QString& folderSection, const std::vector<const Node*>& items, Each each)
    {
        qint64 i = 0;
        for (const Node* n : items)
            each(at(folderSection, ++i), n);
        out.write(folderSection, kCount, QString::number(i));
    }

    static std::vector<const Node*> childrenOfKind(const std::vector<std::unique_ptr<Node>>& list,
                                                   const QString& tag)
    {
        std::vector<const Node*> r;
        for (const auto& c : list)
            if (c->tag == tag)
                r.push_back(c.get());
        return r;
    }

    void individuals(const QString& folderSection, const IndividualList& list)
    {
        qint64 i = 0;
        for (const VTIndividual& ind : list)
            out.write(at(folderSection, ++i), kName, ind.Name);
        out.write(folderSection, kCount, QString::number(i));
    }

    void message(const QString& s, const Node* n)
    {
        out.write(s, kName, n->text);
        const VTMessage* m = n->as<VTMessage>();
        static const VTMessage none;
        if (!m)
            m = &none;
        text(s, QStringLiteral("From"), m->From);
        text(s, QStringLiteral("To"), m->ToHdr);
        text(s, QStringLiteral("Subject"), m->Subject);
        const QStringList pieces = SplitMessageBody(m->Message.value_or(QString()));
        for (qsizetype b = 0; b < pieces.size(); ++b)
            out.write(s, kMessage + QString::number(b + 1), pieces[b]);
        out.write(s, QStringLiteral("Lines"), QString::number(pieces.size()));
        folder(word(s, txt::Attachments), childrenOfKind(n->children, kind::Attachment()),
               [&](const QString& as, const Node* a) { out.write(as, kName, a->text); });
    }

    void mailList(const QString& s, const Node* n)
    {
        out.write(s, kName, n->text);
        const VTMailList* ml = n->as<VTMailList>();
        static const VTMailList none;
        if (!ml)
            ml = &none;
        individuals(word(s, txt::Inclusions), ml->Inclusions);
        individuals(word(s, txt::Exclusions), ml->Exclusions);
        const QString fs = word(s, txt::Filters);
        qint64 i = 0;
        for (const VTFilter& f : ml->Filters) {
            const QString r = at(fs, ++i);
            out.write(r, QStringLiteral("PrevOp"), f.PrevOp);
            out.write(r, QStringLiteral("FieldName"), f.FieldName);
            out.write(r, QStringLiteral("FieldType"), QString::number(f.FieldType));
            out.write(r, QStringLiteral("Relation"), f.Relation);
            text(r, QStringLiteral("Value"), f.Value);
        }
        out.write(fs, kCount, QString::number(i));
        folder(word(s, txt::Messages), childrenOfKind(n->children, kind::Message()),
               [&](const QString& ms, const Node* m) { message(ms, m); });
    }

    void table(const QString& s, const Node* n)
    {
        out.write(s, kName, n->text);
        const VTTable* t = n->as<VTTable>();
        out.write(s, QStringLiteral("EMailField"), t ? t->EMailField : QString());
        out.write(s, QStringLiteral("IsQuery"), flagText(t && t->IsQuery));
        folder(word(s, txt::MailLists), childrenOfKind(n->children, kind::MailList()),
               [&](const QString& ls, const Node* l) { mailList(ls, l); });
    }

    void database(const QString& s, const Node* n)
    {
        const VTDatabase* db = n->as<VTDatabase>();
        out.write(s, kName, n->text);
        out.write(s, QStringLiteral("Connect"), db ? db->Connect : QString());
        out.write(s, QStringLiteral("ReadOnly"), flagText(db && db->ReadOnly));
        out.write(s, QStringLiteral("ODBC"), flagText(db && db->ODBC));
        auto each = [&](const QString& ts, const Node* t) { table(ts, t); };
        folder(word(s, txt::Tables), childrenOfKind(n->children, kind::Table()), each);
        folder(word(s, txt::Queries), childrenOfKind(n->children, kind::Query()), each);
    }
};

// Which positions of each folder have sections of their own in the file. A
// folder is read at those positions up to its "Count" only, so a Count far
// beyond what the file holds costs nothing, and a position with no section
// at all adds no empty object.
class Positions {
public:
    explicit Positions(const ProfileFile& in)
    {
        for (const QString& name : in.sectionNames()) {
            const QStringList parts = name.split('\\');
            QString prefix;
            for (qsizetype k = 0; k < parts.size(); ++k) {
                if (k > 0) {
                    bool ok = false;
                    const qint64 n = parts[k].toLongLong(&ok);
                    if (ok && n > 0 && parts[k] == QString::number(n))
                        m_map[prefix.toCaseFolded()].push_back(n);
                    prefix += '\\';
                }
                prefix += parts[k];
            }
        }
        for (auto& [k, v] : m_map) {
            std::sort(v.begin(), v.end());
            v.erase(std::unique(v.begin(), v.end()), v.end());
        }
    }

    // The positions 1..count of folderSection that the file has.
    std::vector<qint64> of(const QString& folderSection, qint64 count) const
    {
        auto it = m_map.find(folderSection.toCaseFolded());
        if (it == m_map.end())
            return {};
        std::vector<qint64> r;
        for (qint64 p : it->second) {
            if (p > count)
                break;
            r.push_back(p);
        }
        return r;
    }

private:
    std::map<QString, std::vector<qint64>> m_map;
};

struct Reader {
    Workspace& ws;
    const ProfileFile& in;
    const Positions pos;
    QString version;
    const QString kName = ResText(txt::Name);
    const QString kCount = ResText(txt::Count);
    const QString kMessage = ResText(txt::Message);

    QString read(const QString& s, const QString& key, const QString& def = {}) const
    {
        return in.read(s, key, def);
    }
    OptText readOpt(const QString& s, const QString& key) const { return in.value(s, key); }

    template <class Each> void folder(const QString& folderSection, Each each)
    {
        const qint64 count = readNumber(read(folderSection, kCount, QStringLiteral("0")));
        for (qint64 p : pos.of(folderSection, count))
            each(at(folderSection, p));
    }

    void attachment(const QString& s, Node* msgNode)
    {
        ws.addKindNode(msgNode, kind::Attachment(), read(s, kName));
    }

    void message(const QString& s, Node* listNode)
    {
        auto m = std::make_unique<VTMessage>();
        m->From = readOpt(s, QStringLiteral("From"));
        m->ToHdr = readOpt(s, QStringLiteral("To"));
        m->Subject = readOpt(s, QStringLiteral("Subject"));
        // Every piece is a key of the section, so a "Lines" beyond the number
        // of keys there names pieces that cannot exist.
        const qint64 lines = std::min<qint64>(readNumber(read(s, QStringLiteral("Lines"), QStringLiteral("0"))),
                                              in.keyCount(s));
        if (lines > 0) {
            QStringList pieces;
            pieces.reserve(lines);
            for (qint64 b = 1; b <= lines; ++b)
                pieces << read(s, kMessage + QString::number(b));
            m->Message = JoinMessageBody(pieces, version);
        }
        Node* n = ws.addKindNode(listNode, kind::Message(), read(s, kName), std::move(m));
        folder(word(s, txt::Attachments), [&](const QString& as) { attachment(as, n); });
    }

    void filter(const QString& s, VTMailList& ml)
    {
        const QString field = read(s, QStringLiteral("FieldName"));
        if (field.isEmpty())
            return;
        VTFilter f;
        f.PrevOp = read(s, QStringLiteral("PrevOp"));
        f.FieldName = field;
        bool ok = false;
        const int type = read(s, QStringLiteral("FieldType")).trimmed().toInt(&ok);
        f.FieldType = ok && type >= -32768 && type <= 32767 ? qint16(type) : 0;
        f.Relation = read(s, QStringLiteral("Relation"));
        f.Value = readOpt(s, QStringLiteral("Value"));
        ml.Filters.push_back(std::move(f));
    }

    void mailList(const QString& s, Node* tableNode)
    {
        auto owned = std::make_unique<VTMailList>();
        VTMailList& ml = *owned;
        Node* n = ws.addKindNode(tableNode, kind::MailList(), read(s, kName), std::move(owned));
        folder(word(s, txt::Inclusions), [&](const QString& is) { ml.AddInclusion(read(is, kName)); });
        folder(word(s, txt::Exclusions), [&](const QString& es) { ml.AddExclusion(read(es, kName)); });
        folder(word(s, txt::Filters), [&](const QString& fs) { filter(fs, ml); });
        folder(word(s, txt::Messages), [&](const QString& ms) { message(ms, n); });
    }

    void table(const QString& s, Node* dbNode)
    {
        Node* n = ws.FindChildNode(read(s, kName), dbNode);
        if (!n)
            return; // no longer in the database: left out with its lists
        if (VTTable* t = n->as<VTTable>()) {
            t->EMailField = read(s, QStringLiteral("EMailField"), t->EMailField);
            t->IsQuery = readFlag(read(s, QStringLiteral("IsQuery")), t->IsQuery);
        }
        folder(word(s, txt::MailLists), [&](const QString& ls) { mailList(ls, n); });
    }

    void database(const QString& s, const AttachDatabaseFn& attach)
    {
        const QString name = read(s, kName);
        const bool readOnly = readFlag(read(s, QStringLiteral("ReadOnly"), QStringLiteral("False")), false);
        const QString connect = read(s, QStringLiteral("Connect"));
        const bool odbc = readFlag(read(s, QStringLiteral("ODBC"), QStringLiteral("False")), false);
        try {
            if (!attach)
                throw VtError(QStringLiteral("No database engine is available to open %1.").arg(name));
            attach(name, readOnly, connect, odbc);
        } catch (const VtError& e) {
            ShowError(e);
            return;
        }
        Node* n = ws.FindChildNode(name, nullptr);
        if (!n)
            return;
        auto each = [&](const QString& ts) { table(ts, n); };
        folder(word(s, txt::Tables), each);
        folder(word(s, txt::Queries), each);
    }
};

} // namespace

QStringList SplitMessageBody(const QString& body)
{
    QStringList pieces;
    qsizetype pos = 0;
    const qsizetype n = body.size();
    while (pos < n) {
        qsizetype eol = body.indexOf(kCrLf, pos);
        QString line = eol < 0 ? body.mid(pos) : body.mid(pos, eol - pos);
        pos = eol < 0 ? n : eol + 2;
        while (line.size() > kPieceLength) {
            pieces << line.left(kPieceLength);
            line.remove(0, kPieceLength);
        }
        if (pos < n)
            line += kCrLfMarker;
        pieces << line;
    }
    return pieces;
}

QString JoinMessageBody(const QStringList& pieces, const QString& version)
{
    if (version == QLatin1String("1.0"))
        return pieces.join(kCrLf);
    QString body;
    for (const QString& p : pieces) {
        if (p.endsWith(kCrLfMarker)) {
            body += QStringView(p).chopped(kCrLfMarker.size());
            body += kCrLf;
        } else {
            body += p;
        }
    }
    return body;
}

void WriteWorkspace(const Workspace& ws, ProfileFile& out)
{
    Writer w{out};
    out.write(QStringLiteral("General"), ResText(1131), QStringLiteral("1.1"));
    const QString root = ResText(txt::Databases);
    w.folder(root, Writer::childrenOfKind(ws.roots(), kind::Database()),
             [&](const QString& s, const Node* n) { w.database(s, n); });
}

bool SaveWorkspace(const Workspace& ws, const QString& file, QString* error)
{
    // The file is written whole: a workspace never holds sections of an
    // earlier, larger one, and the old file stays until the new one is complete.
    ProfileFile out;
    WriteWorkspace(ws, out);
    if (!out.save(file)) {
        if (error)
            *error = out.errorString();
        return false;
    }
    return true;
}

void ReadWorkspace(Workspace& ws, const ProfileFile& in, const AttachDatabaseFn& attach)
{
    Reader r{ws, in, Positions(in), {}};
    r.version = in.read(QStringLiteral("General"), ResText(1131), QStringLiteral("1.0"));
    ws.addKindNode(nullptr, kind::Outbox(), ResText(txt::Outbox));
    r.folder(ResText(txt::Databases), [&](const QString& s) { r.database(s, attach); });
}

void LoadWorkspace(Workspace& ws, const QString& file, const AttachDatabaseFn& attach)
{
    ProfileFile in;
    in.load(file); // a missing or unreadable file reads as empty
    ReadWorkspace(ws, in, attach);
}

} // namespace vt
