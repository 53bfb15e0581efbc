#include "../common/TestMain.h"

#include "messages/MailMerge.h"
#include "platform/Prompt.h"

#include <QDateTime>
#include <QLocale>
#include <QMap>
#include <QTest>

using namespace vt;

namespace {
// A row of named values; names match without regard to letter case.
class MapRecord : public MergeRecord {
public:
    explicit MapRecord(QMap<QString, QVariant> v)
    {
        for (auto it = v.begin(); it != v.end(); ++it)
            m_values.insert(it.key().toCaseFolded(), it.value());
    }
    bool hasField(const QString& name) const override { return m_values.contains(name.toCaseFolded()); }
    QString fieldText(const QString& name) const override { return ValueText(m_values.value(name.toCaseFolded())); }

private:
    QMap<QString, QVariant> m_values;
};

MapRecord annRow(const QVariant& first = QString("Ann"), const QString& street = "High Street 1")
{
    return MapRecord({{"FirstName", first}, {"Street", street}, {"EMail", "ann@example.com"}, {"Self", "[Self]"},
                      {"Ping", "[Pong]"}, {"Pong", "[Ping]"}});
}
} // namespace

class MailMergeTest : public QObject {
    Q_OBJECT
private slots:
    void merge_data()
    {
        QTest::addColumn<QString>("templ");
        QTest::addColumn<QVariant>("first");
        QTest::addColumn<QString>("street");
        QTest::addColumn<QString>("merged");
        QTest::addColumn<QString>("checkMessage"); // empty: passes
        const QVariant ann = QString("Ann");
        QTest::newRow("field") << "Dear [FirstName]," << ann << "" << "Dear Ann," << "";
        QTest::newRow("null") << "Dear [FirstName]," << QVariant() << "" << "Dear ," << "";
        QTest::newRow("empty name") << "[]" << ann << "" << ""
                                    << "The field, , does not exist in the database.";
        QTest::newRow("close before open") << "a] [FirstName]" << ann << "" << "a] Ann" << "";
        QTest::newRow("open without close") << "Price [5 for [FirstName" << ann << "" << "Price [5 for [FirstName"
                                            << "";
        QTest::newRow("missing") << "[Missing] text" << ann << "" << " text"
                                 << "The field, Missing, does not exist in the database.";
        QTest::newRow("value scanned again") << "[Street]" << ann << "Flat [2]" << "Flat " << "";
        QTest::newRow("nested") << "[[FirstName]]" << ann << "" << "]"
                                << "The field, [FirstName, does not exist in the database.";
        QTest::newRow("letter case") << "[EMAIL] [email]" << ann << "" << "ann@example.com ann@example.com" << "";
        QTest::newRow("value brings a placeholder") << "[Street]!" << ann << "c/o [FirstName]" << "c/o Ann!" << "";
        QTest::newRow("brackets across value and rest") << "[Street]FirstName]" << ann << "x [" << "x Ann" << "";
        QTest::newRow("non-ASCII") << QString::fromUtf8("Grüße, [FirstName]") << QVariant(QString::fromUtf8("Zoë"))
                                   << "" << QString::fromUtf8("Grüße, Zoë") << "";
        QTest::newRow("no placeholders") << "plain text" << ann << "" << "plain text" << "";
    }
    void merge()
    {
        QFETCH(QString, templ);
        QFETCH(QVariant, first);
        QFETCH(QString, street);
        QFETCH(QString, merged);
        QFETCH(QString, checkMessage);
        const MapRecord row = annRow(first, street);
        QCOMPARE(MergeFields(templ, row), merged);
        ScriptedPrompt sp;
        if (!checkMessage.isEmpty())
            sp.answer(Prompt::Answer::Ok);
        QCOMPARE(CheckFields(templ, row, "EMail"), checkMessage.isEmpty());
        QCOMPARE(sp.texts(), checkMessage.isEmpty() ? QStringList() : QStringList{checkMessage});
    }

    void missingEmailFieldReportedFirst()
    {
        const MapRecord row = annRow();
        ScriptedPrompt sp;
        sp.answer(Prompt::Answer::Ok);
        QVERIFY(!CheckFields("no placeholders", row, "Mail"));
        QCOMPARE(sp.texts(), QStringList{"The Email Address field, Mail, does not exist in the database."});
        QCOMPARE(sp.asked().front().buttons, Prompt::Buttons::Ok);
    }

    void selfReproducingValuesEnd()
    {
        const MapRecord row = annRow();
        // Each ends: the substitution bound stops the chain.
        QVERIFY(MergeFields("[Self]", row).size() <= MaxMergedLength);
        QVERIFY(MergeFields("a [Ping] b", row).endsWith(" b"));
    }

    void valueText_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("text");
        const QLocale loc = QLocale::system();
        QTest::newRow("text as stored") << QVariant(QString("  x ")) << "  x ";
        QTest::newRow("integer") << QVariant(qlonglong(-42)) << "-42";
        QTest::newRow("double") << QVariant(2.5) << "2.5";
        QTest::newRow("double whole") << QVariant(30.0) << "30";
        QTest::newRow("large double plain") << QVariant(1e20) << "100000000000000000000";
        QTest::newRow("flag true") << QVariant(true) << "True";
        QTest::newRow("flag false") << QVariant(false) << "False";
        QTest::newRow("null") << QVariant() << "";
        QTest::newRow("date at midnight")
            << QVariant(QDateTime(QDate(2026, 12, 11), QTime(0, 0))) << loc.toString(QDate(2026, 12, 11), QLocale::ShortFormat);
        QTest::newRow("date only") << QVariant(QDate(2000, 1, 31)) << loc.toString(QDate(2000, 1, 31), QLocale::ShortFormat);
    }
    void valueText()
    {
        QFETCH(QVariant, value);
        QFETCH(QString, text);
        QCOMPARE(ValueText(value), text);
    }

    void dateWithTime()
    {
        const QString s = ValueText(QDateTime(QDate(2026, 12, 11), QTime(14, 5, 9)));
        QVERIFY(s.startsWith(QLocale::system().toString(QDate(2026, 12, 11), QLocale::ShortFormat) + ' '));
        QVERIFY2(s.contains("05") && s.contains("09"), qPrintable(s));
    }
};

VT_TEST(MailMergeTest)
#include "MailMergeTest.moc"
