#include "../common/TestMain.h"
#include "../common/TestUtil.h"

#include "platform/AppPath.h"
#include "platform/Error.h"
#include "platform/ProfileFile.h"
#include "platform/Prompt.h"
#include "platform/Settings.h"
#include "platform/Wildcard.h"

#include <QTest>

using namespace vt;

class PlatformTest : public QObject {
    Q_OBJECT
private slots:
    void wildcard_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("match");
        QTest::newRow("exact") << "abc" << "abc" << true;
        QTest::newRow("whole text only") << "abcd" << "abc" << false;
        QTest::newRow("case matters") << "ABC" << "abc" << false;
        QTest::newRow("question one char") << "abc" << "a?c" << true;
        QTest::newRow("question needs a char") << "ac" << "a?c" << false;
        QTest::newRow("star empty run") << "ac" << "a*c" << true;
        QTest::newRow("star long run") << "a-long-c" << "a*c" << true;
        QTest::newRow("star backtracks") << "aXcYc" << "a*c" << true;
        QTest::newRow("star then literal fails") << "aXcY" << "a*c" << false;
        QTest::newRow("hash digit") << "a1" << "a#" << true;
        QTest::newRow("hash not letter") << "ab" << "a#" << false;
        QTest::newRow("list hit") << "b" << "[abc]" << true;
        QTest::newRow("list miss") << "d" << "[abc]" << false;
        QTest::newRow("range") << "m" << "[a-z]" << true;
        QTest::newRow("range case") << "M" << "[a-z]" << false;
        QTest::newRow("negated list") << "d" << "[!abc]" << true;
        QTest::newRow("negated list miss") << "a" << "[!abc]" << false;
        QTest::newRow("outbox pattern") << "MSG1A2B.TMP" << "MSG*.TMP" << true;
        QTest::newRow("outbox pattern other ext") << "MSG1.TMP.bak" << "MSG*.TMP" << false;
        QTest::newRow("unclosed bracket literal") << "[a" << "[a" << true;
        QTest::newRow("empty both") << "" << "" << true;
        QTest::newRow("star matches empty") << "" << "*" << true;
        QTest::newRow("many stars no blowup") << QString(40, 'a') << QString(20, '*') + "b" << false;
    }
    void wildcard()
    {
        QFETCH(QString, text);
        QFETCH(QString, pattern);
        QFETCH(bool, match);
        QCOMPARE(WildcardMatch(text, pattern), match);
    }

    void wildcardIgnoringCase()
    {
        QVERIFY(WildcardMatch("ABC", "a*c", true));
        QVERIFY(WildcardMatch("M", "[a-z]", true));
        QVERIFY(!WildcardMatch("ABD", "a*c", true));
    }

    void appFilePathAndFileExists()
    {
        vttest::ProgramDir dir;
        QCOMPARE(AppFilePath("Veltrana.vtd"), dir.path() + "/Veltrana.vtd");
        QCOMPARE(AppFilePath("Outbox\\MSG1.TMP"), dir.path() + "/Outbox/MSG1.TMP");
        QVERIFY(!FileExists(AppFilePath("Outbox/MSG*.TMP")));  // folder missing
        QVERIFY(vttest::writeAll(AppFilePath("Outbox/msg1.tmp"), "x"));
        QVERIFY(!FileExists(AppFilePath("Outbox/MSG*.TMP")));  // case-sensitive
        QVERIFY(vttest::writeAll(AppFilePath("Outbox/MSG1F.TMP"), "x"));
        QVERIFY(FileExists(AppFilePath("Outbox/MSG*.TMP")));
        QVERIFY(FileExists(AppFilePath("Outbox/MSG1F.TMP")));
        QVERIFY(!FileExists(AppFilePath("Outbox")));  // a folder is not a file
        QVERIFY(!FileExists(QString()));
    }

    void settingsIsolatedAndDefaults()
    {
        vttest::ProgramDir dir;
        QCOMPARE(GetSetting("Settings", "MainLeft", "1000"), QString("1000"));
        SaveSetting("Settings", "MainLeft", "1234");
        QCOMPARE(GetSetting("Settings", "MainLeft", "1000"), QString("1234"));
        QVERIFY(settingsFile().startsWith(dir.path()));
        QVERIFY(HasSetting("Settings", "MainLeft"));
        DeleteSetting("Settings", "MainLeft");
        QVERIFY(!HasSetting("Settings", "MainLeft"));
    }

    void profileRead_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << QByteArray("Key=value") << "value";
        QTest::newRow("blanks trimmed") << QByteArray("Key =   value  ") << "value";
        QTest::newRow("after first equals") << QByteArray("Key=a=b") << "a=b";
        QTest::newRow("double quotes removed") << QByteArray("Key=\"News\"") << "News";
        QTest::newRow("single quotes removed") << QByteArray("Key='News'") << "News";
        QTest::newRow("one pair only") << QByteArray("Key=\"\"x\"\"") << "\"x\"";
        QTest::newRow("unmatched quote kept") << QByteArray("Key=\"x") << "\"x";
        QTest::newRow("blanks inside quotes trimmed again") << QByteArray("Key=\" x \"") << "x";
        QTest::newRow("cut to 254") << QByteArray("Key=") + QByteArray(300, 'x') << QString(254, 'x');
        QTest::newRow("cut then trimmed")
            << QByteArray("Key=") + QByteArray(253, 'x') + QByteArray("  y") << QString(253, 'x');
        QTest::newRow("empty") << QByteArray("Key=") << "";
        QTest::newRow("key case ignored") << QByteArray("kEY=v") << "v";
        QTest::newRow("utf8") << QByteArray("Key=Zoë") << QString::fromUtf8("Zoë");
    }
    void profileRead()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, expected);
        ProfileFile p;
        p.parse("[Sec]\r\n" + line + "\r\n");
        QCOMPARE(p.read("SEC", "key", "default"), expected);
    }

    void profileMissingGivesDefault()
    {
        ProfileFile p;
        p.parse("[A]\r\nx=1\r\nnot a key line\r\n[B]\r\n");
        QCOMPARE(p.read("A", "y", "d"), QString("d"));
        QCOMPARE(p.read("C", "x", "d"), QString("d"));
        QVERIFY(!p.value("A", "y").has_value());
        QCOMPARE(p.read("A", "x"), QString("1"));
        // A later duplicate section feeds the first one; its keys answer first.
        p.parse("[A]\r\nx=1\r\n[a]\r\nx=2\r\ny=3\r\n");
        QCOMPARE(p.read("A", "x"), QString("1"));
        QCOMPARE(p.read("A", "y"), QString("3"));
    }

    void profileWriteOrderAndRemove()
    {
        ProfileFile p;
        p.write("General", "Version", "1.1");
        p.write("S", "A", "1");
        p.write("S", "B", "2");
        p.write("s", "a", "3");   // replaced in place, names without case
        p.write("S", "C", "x\r\ny"); // a line break cannot escape its line
        p.removeKey("S", "B");
        QCOMPARE(p.toBytes(), QByteArray("[General]\r\nVersion=1.1\r\n[S]\r\nA=3\r\nC=x  y\r\n"));
        QCOMPARE(p.read("S", "C"), QString("x  y"));
    }

    void profileSaveReplacesWhole()
    {
        vttest::ProgramDir dir;
        const QString f = dir.file("w.vtd");
        QVERIFY(vttest::writeAll(f, "[Old]\r\nk=v\r\n"));
        ProfileFile p;
        p.write("New", "k", "v");
        QVERIFY(p.save(f));
        QCOMPARE(vttest::readAll(f), QByteArray("[New]\r\nk=v\r\n"));
        ProfileFile missing(dir.file("nope.vtd"));
        QVERIFY(missing.sectionNames().isEmpty());
        // A folder that does not exist cannot be written: reported, not thrown.
        QVERIFY(!p.save(dir.file("no/such/dir/w.vtd")));
        QVERIFY(!p.errorString().isEmpty());
    }

    void scriptedPrompt()
    {
        ScriptedPrompt sp;
        sp.answer(Prompt::Answer::Yes).answerInput(QString("typed"));
        QCOMPARE(prompt().ask("Sure?"), Prompt::Answer::Yes);
        QCOMPARE(prompt().input("Name?", "T", "").value_or("none"), QString("typed"));
        // Not expected: recorded, answered with the box's cautious choice.
        QCOMPARE(prompt().ask("Again?", Prompt::Buttons::YesNoCancel), Prompt::Answer::Cancel);
        QCOMPARE(sp.unexpected(), QStringList{"Again?"});
        ShowError(VtError("Broken"));
        QCOMPARE(sp.asked().back().title, QString("Veltrana"));
        QCOMPARE(sp.asked().back().text, QString("Broken"));
        QCOMPARE(sp.asked().back().buttons, Prompt::Buttons::Ok);
    }
};

VT_TEST(PlatformTest)
#include "PlatformTest.moc"
