#include "../common/TestMain.h"
#include "../common/TestUtil.h"

#include "lists/Criteria.h"
#include "platform/Settings.h"
#include "workspace/DataObjects.h"

#include <QTest>

using namespace vt;

namespace {
VTFilter row(const QString& prevOp, const QString& field, int type, const QString& rel, const OptText& value)
{
    VTFilter f;
    f.PrevOp = prevOp;
    f.FieldName = field;
    f.FieldType = qint16(type);
    f.Relation = rel;
    f.Value = value;
    return f;
}

// A list described compactly: rows "Field,type,Relation,Value" joined by
// "|" (a leading "And:"/"Or:" gives the join word), then inclusions and exclusions.
VTMailList makeList(const QStringList& rows, const QStringList& incl, const QStringList& excl)
{
    VTMailList ml;
    for (const QString& r : rows) {
        QString text = r, op = "Or";
        if (text.startsWith("And:") || text.startsWith("Or:")) {
            op = text.section(':', 0, 0);
            text = text.section(':', 1);
        }
        const QStringList p = text.split(',');
        ml.Filters.push_back(row(op, p[0], p[1].toInt(), p[2], p.size() > 3 ? OptText(p[3]) : std::nullopt));
    }
    for (const QString& i : incl)
        ml.AddInclusion(i);
    for (const QString& x : excl)
        ml.AddExclusion(x);
    return ml;
}
} // namespace

class CriteriaTest : public QObject {
    Q_OBJECT
private slots:
    void worked_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QStringList>("incl");
        QTest::addColumn<QStringList>("excl");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("expected");
        const QStringList none;
        const QStringList age{"Age,4,Greater than,30"};
        QTest::newRow("nothing") << none << none << none << "EMail" << "";
        QTest::newRow("one row") << age << none << none << "EMail" << "( ( [Age] > 30 ) )";
        QTest::newRow("row and inclusions")
            << age << QStringList{"ann", "bob"} << none << "EMail"
            << "( ( [Age] > 30 ) ) OR ( [EMail] = 'ann' OR [EMail] = 'bob' )";
        QTest::newRow("and exclusion")
            << age << QStringList{"ann", "bob"} << QStringList{"zed"} << "EMail"
            << "( ( ( [Age] > 30 ) ) OR ( [EMail] = 'ann' OR [EMail] = 'bob' ) ) AND NOT ( [EMail] = 'zed' )";
        QTest::newRow("two rows")
            << QStringList{"Age,4,Greater than,30", "And:City,10,Contains,York"} << none << none << "EMail"
            << "( ( [Age] > 30 ) And ( [City] LIKE \"*York*\" ) )";
        QTest::newRow("default row") << QStringList{"EMail,10,Is Not Empty"} << none << none << "EMail"
                                     << "( ( NOT ( IsNull([EMail]) OR LEN([EMail]) = 0 ) ) )";
        QTest::newRow("only inclusion") << none << QStringList{"ann"} << none << "EMail" << "( [EMail] = 'ann' )";
        QTest::newRow("only exclusion") << none << none << QStringList{"zed"} << "EMail" << "";
        QTest::newRow("no e-mail field ignores individuals")
            << age << QStringList{"ann"} << QStringList{"zed"} << "" << "( ( [Age] > 30 ) )";
        QTest::newRow("first join word unused")
            << QStringList{"And:Age,4,Less than,5"} << none << none << "EMail" << "( ( [Age] < 5 ) )";
        QTest::newRow("begins with text") << QStringList{"Name,10,Begins with,Jo"} << none << none << "E"
                                          << "( ( [Name] LIKE \"Jo*\" ) )";
        QTest::newRow("begins with number") << QStringList{"Age,4,Begins with,3"} << none << none << "E"
                                            << "( ( [Age] LIKE 3* ) )";
        QTest::newRow("is empty ignores value and type")
            << QStringList{"Age,4,Is Empty,9"} << none << none << "E" << "( ( IsNull([Age]) OR LEN([Age]) = 0 ) )";
        QTest::newRow("memo is text") << QStringList{"Notes,12,Does Not Contain,x"} << none << none << "E"
                                      << "( ( [Notes] NOT LIKE \"*x*\" ) )";
        QTest::newRow("all comparisons")
            << QStringList{"A,4,Equal to,1", "B,4,Not Equal to,2", "And:C,4,Greater or Equal,3",
                           "Or:D,4,Lesser or Equal,4"}
            << none << none << "E"
            << "( ( [A] = 1 ) Or ( [B] <> 2 ) And ( [C] >= 3 ) Or ( [D] <= 4 ) )";
        QTest::newRow("value not trimmed") << QStringList{"City,10,Equal to, York "} << none << none << "E"
                                           << "( ( [City] = \" York \" ) )";
        // Quotes inside values and names are doubled so the literal stays whole.
        QTest::newRow("quote in name")
            << none << QStringList{"o'brien@example.com"} << none << "EMail"
            << "( [EMail] = 'o''brien@example.com' )";
        QTest::newRow("double quote in text value")
            << QStringList{"Nick,10,Equal to,Big \"J\""} << none << none << "E"
            << "( ( [Nick] = \"Big \"\"J\"\"\" ) )";
        QTest::newRow("unknown relation never true")
            << QStringList{"A,4,Resembles,1", "Or:B,4,Equal to,2"} << none << none << "E"
            << "( ( 1 = 0 ) Or ( [B] = 2 ) )";
    }
    void worked()
    {
        QFETCH(QStringList, rows);
        QFETCH(QStringList, incl);
        QFETCH(QStringList, excl);
        QFETCH(QString, field);
        QFETCH(QString, expected);
        QCOMPARE(GetCriteria(makeList(rows, incl, excl), field), expected);
    }

    void defaultFilterFollowsSetting()
    {
        vttest::ProgramDir dir;
        VTMailList ml;
        ml.AddDefaultFilter("EMail");
        ml.AddDefaultFilter("EMail");
        QCOMPARE(int(ml.Filters.size()), 2); // added again even when equal
        ml.AddDefaultFilter("");
        QCOMPARE(int(ml.Filters.size()), 2);
        SaveSetting("General", "DefaultFilter", "False");
        ml.AddDefaultFilter("EMail");
        QCOMPARE(int(ml.Filters.size()), 2);
    }
};

VT_TEST(CriteriaTest)
#include "CriteriaTest.moc"
