#include "../common/TestMain.h"
#include "WorkspaceTestUtil.h"

#include <QTest>

using namespace vt;

class ObjectModelTest : public QObject {
    Q_OBJECT
private slots:
    void keysNeverReused()
    {
        Workspace ws;
        QCOMPARE(Workspace::MakeNodeKey(0), QString("A0"));
        QCOMPARE(Workspace::MakeNodeKey(42), QString("A42"));
        Node* a = ws.addKindNode(nullptr, kind::Outbox(), "Outbox");
        QCOMPARE(a->key, QString("A0"));
        ws.clear();
        Node* b = ws.addKindNode(nullptr, kind::Outbox(), "Outbox");
        QCOMPARE(b->key, QString("A1"));
        QCOMPARE(ws.nodeByKey("A1"), b);
        QVERIFY(!ws.nodeByKey("A0"));
    }

    void uniqueNameAndFindChild()
    {
        Workspace ws;
        Node* t = ws.addKindNode(nullptr, kind::Table(), "T", std::make_unique<VTTable>());
        ws.addKindNode(t, kind::MailList(), "MailList1", std::make_unique<VTMailList>());
        Node* first3 = ws.addKindNode(t, kind::MailList(), "MailList3", std::make_unique<VTMailList>());
        ws.addKindNode(t, kind::MailList(), "MailList3", std::make_unique<VTMailList>());
        QCOMPARE(ws.UniqueNodeName("MailList", t), QString("MailList2"));
        QCOMPARE(ws.FindChildNode("MailList3", t), first3);
        QVERIFY(!ws.FindChildNode("maillist3", t)); // exact, case matters
        QCOMPARE(ws.UniqueNodeName("Message", first3), QString("Message1"));
    }

    void selectedObjectAndAncestors()
    {
        Workspace ws;
        FakeDatabases dbs;
        dbs.tables["db"] = {"People"};
        Node* outbox = ws.addKindNode(nullptr, kind::Outbox(), "Outbox");
        dbs.routine(ws)("db", false, "", false);
        Node* table = ws.roots()[1]->children[0].get();
        Node* list = ws.addKindNode(table, kind::MailList(), "L", std::make_unique<VTMailList>());
        Node* msg = ws.addKindNode(list, kind::Message(), "M", std::make_unique<VTMessage>());
        Node* att = ws.addKindNode(msg, kind::Attachment(), "/tmp/a.txt");

        QVERIFY(!ws.GetSelectedObject());
        ws.setSelectedNode(msg);
        QVERIFY(dynamic_cast<VTMessage*>(ws.GetSelectedObject()));
        QVERIFY(dynamic_cast<VTMailList*>(ws.GetSelectedObjectParent()));
        QVERIFY(dynamic_cast<VTTable*>(ws.GetSelectedObjectGrandParent()));
        QVERIFY(dynamic_cast<VTDatabase*>(ws.GetSelectedObjectGreatGrandParent()));
        ws.setSelectedNode(outbox);
        QVERIFY(!ws.GetSelectedObject());
        QVERIFY(!ws.GetSelectedObjectParent());
        ws.setSelectedNode(att);
        QVERIFY(!ws.GetSelectedObject());
        QVERIFY(ws.selected<VTMessage>(1));
        QCOMPARE(ws.objectCount(), 4);
        QVERIFY(!att->expanded);
        QVERIFY(msg->expanded);
        QCOMPARE(ws.roots()[1]->image, QString("ClosedFolder"));
        QCOMPARE(ws.roots()[1]->selectedImage, QString("OpenFolder"));

        ws.removeNode(list); // takes the message and attachment along
        QVERIFY(!ws.selectedNode());
        QCOMPARE(ws.objectCount(), 2);
        QVERIFY(!ws.nodeByKey(msg == nullptr ? QString() : QString("A4")));
    }

    void individualsKeepOrderAndIgnoreCase()
    {
        VTMailList ml;
        ml.AddInclusion("ann");
        ml.AddInclusion("bob");
        ml.AddExclusion("ANN");
        QVERIFY(!ml.IsInclusion("ann"));
        QVERIFY(ml.IsExclusion("ann"));
        ml.AddInclusion("Ann");
        QStringList names;
        for (const auto& i : ml.Inclusions)
            names << i.Name;
        QCOMPARE(names, (QStringList{"bob", "Ann"}));
        QVERIFY(ml.Exclusions.isEmpty());
        ml.AddInclusion("");
        ml.AddExclusion("");
        QCOMPARE(ml.Inclusions.size(), 2);
        QVERIFY(!ml.IsInclusion(""));
    }
};

VT_TEST(ObjectModelTest)
#include "ObjectModelTest.moc"
