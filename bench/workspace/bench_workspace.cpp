// Saves and loads a large workspace: lists x 50 messages x 20-line bodies plus
// inclusions, then the same at twice the size, and prints the times.
#include "platform/Error.h"
#include "workspace/Workspace.h"
#include "workspace/WorkspaceFile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

using namespace vt;

static AttachDatabaseFn attachTo(Workspace& ws)
{
    return [&ws](const QString& name, bool, const QString&, bool) {
        Node* db = ws.addKindNode(nullptr, kind::Database(), name, std::make_unique<VTDatabase>());
        auto t = std::make_unique<VTTable>();
        t->EMailField = "EMail";
        ws.addKindNode(db, kind::Table(), "People", std::move(t));
    };
}

static void build(Workspace& ws, int lists, int inclusions)
{
    ws.addKindNode(nullptr, kind::Outbox(), "Outbox");
    attachTo(ws)("/data/contacts.db", false, "", false);
    Node* table = ws.roots().back()->children.front().get();
    QString body;
    for (int l = 0; l < 20; ++l)
        body += QStringLiteral("Line %1 of the letter to [FirstName] [LastName], about [Company].\r\n").arg(l);
    for (int i = 0; i < lists; ++i) {
        auto ml = std::make_unique<VTMailList>();
        ml->AddDefaultFilter("EMail");
        for (int k = 0; k < inclusions / lists; ++k)
            ml->AddInclusion(QStringLiteral("person%1.%2@example.com").arg(i).arg(k));
        Node* ln = ws.addKindNode(table, kind::MailList(), QStringLiteral("MailList%1").arg(i + 1), std::move(ml));
        for (int m = 0; m < 50; ++m) {
            auto msg = std::make_unique<VTMessage>();
            msg->From = "Sales Office";
            msg->ToHdr = "[EMail]";
            msg->Subject = "News for [FirstName]";
            msg->Message = body;
            ws.addKindNode(ln, kind::Message(), QStringLiteral("Message%1").arg(m + 1), std::move(msg));
        }
    }
}

static void run(int lists, int inclusions, const QString& dir)
{
    Workspace ws;
    build(ws, lists, inclusions);
    const QString file = dir + QStringLiteral("/Veltrana%1.vtd").arg(lists);
    QElapsedTimer t;
    t.start();
    if (!SaveWorkspace(ws, file)) {
        std::printf("save failed\n");
        return;
    }
    const double save = t.nsecsElapsed() / 1e9;
    Workspace back;
    t.restart();
    LoadWorkspace(back, file, attachTo(back));
    const double load = t.nsecsElapsed() / 1e9;
    std::printf("%4d lists x 50 messages x 20 lines + %5d inclusions: %6.1f MB file, %6d nodes; "
                "save %.3f s, load %.3f s\n",
                lists, inclusions, QFileInfo(file).size() / 1e6, back.nodeCount(), save, load);
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    // One size per process when given (so sizes do not share a heap), else both.
    const int scale = argc > 1 ? std::atoi(argv[1]) : 0;
    if (scale > 0) {
        run(200 * scale, 10000 * scale, dir.path());
        return 0;
    }
    run(200, 10000, dir.path());
    run(400, 20000, dir.path());
    return 0;
}
