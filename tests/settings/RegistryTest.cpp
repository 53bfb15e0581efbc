#include "../common/TestMain.h"
#include "../common/TestUtil.h"
#include "Fixtures.h"

#include "platform/Registry.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace vt;

namespace {
// A user.reg as Wine writes it, with the awkward parts of the format.
const char* const kUserReg = R"(WINE REGISTRY Version 2
;; All keys relative to \\User\\S-1-5-21-0-0-0-1000

#arch=win64

[Software\\Microsoft\\Internet Account Manager] 1700000000
#time=1da0b8e4a6c2f10
"Default Mail Account"="00000001"

[Software\\Microsoft\\Internet Account Manager\\Accounts\\00000001] 1700000000
#time=1da0b8e4a6c2f10
"Account Name"="Mail \"Home\""
"Connection Type"=dword:00000003
"SMTP Display Name"="J\x00fcrgen \x4e2d"
"SMTP Email Address"="  juergen@example.org  "
"SMTP Server"=str:"smtp.example.org"
"POP3 Server"="pop.example.org"
"Path"=str(2):"%USERPROFILE%\\Mail"
"Multi"=str(7):"a\0b\0"
"Blob"=hex:01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,\
  17,18,19,1a
"Tab and octal"="a\tb\101"
"Dup"="first"
"Dup"="second"
"Open"="no closing quote
@="the default"

[Software\\Wine\\Deep\\Leaf] 1700000000
"x"="y"

[Software\\Odd\\Name \] x\x00e9] 1700000000
"v"="odd"

[software\\WINE\\deep\\leaf] 1700000000
"z"="w"
)";

const char* const kSystemReg = R"(WINE REGISTRY Version 2
;; All keys relative to \\Machine

[Software\\Classes\\Software\\Qualcomm\\Eudora\\CommandLine\\Current] 1700000000
@="C:\\Program Files\\Qualcomm\\Eudora\\EUDORA.EXE %1"
"Only machine"="m"
"Both"="machine"

[Software\\Classes\\.txt] 1700000000
@="txtfile"
)";

const char* const kUserClasses = R"(
[Software\\Classes\\Software\\Qualcomm\\Eudora\\CommandLine\\Current] 1700000000
"Both"="user"
)";
} // namespace

class RegistryTest : public QObject {
    Q_OBJECT
private slots:
    void values_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("value");
        const QString acct = "Software\\Microsoft\\Internet Account Manager\\Accounts\\00000001";
        QTest::newRow("plain") << "Software\\Microsoft\\Internet Account Manager" << "Default Mail Account" << true << "00000001";
        QTest::newRow("escaped quotes") << acct << "Account Name" << true << "Mail \"Home\"";
        QTest::newRow("hex escapes") << acct << "SMTP Display Name" << true << QString::fromUtf8("Jürgen 中");
        QTest::newRow("blanks kept by the reader") << acct << "SMTP Email Address" << true << "  juergen@example.org  ";
        QTest::newRow("str: prefix") << acct << "SMTP Server" << true << "smtp.example.org";
        QTest::newRow("expand string unexpanded") << acct << "Path" << true << "%USERPROFILE%\\Mail";
        QTest::newRow("tab and octal escapes") << acct << "Tab and octal" << true << "a\tbA";
        QTest::newRow("last line wins") << acct << "Dup" << true << "second";
        QTest::newRow("default value") << acct << "" << true << "the default";
        QTest::newRow("names ignore case") << acct.toUpper() << "smtp server" << true << "smtp.example.org";
        QTest::newRow("extra backslashes") << "\\Software\\\\Microsoft\\Internet Account Manager\\"
                                           << "Default Mail Account" << true << "00000001";
        QTest::newRow("dword is not text") << acct << "Connection Type" << false << "";
        QTest::newRow("multi string is not text") << acct << "Multi" << false << "";
        QTest::newRow("binary is not text") << acct << "Blob" << false << "";
        QTest::newRow("unterminated string") << acct << "Open" << false << "";
        QTest::newRow("missing value") << acct << "Nothing" << false << "";
        QTest::newRow("missing key") << "Software\\Microsoft\\Nothing" << "x" << false << "";
        QTest::newRow("escaped key name") << QString::fromUtf8("Software\\Odd\\Name ] xé") << "v" << true << "odd";
        QTest::newRow("key named twice: first header") << "Software\\Wine\\Deep\\Leaf" << "x" << true << "y";
        QTest::newRow("key named twice: second header") << "Software\\Wine\\Deep\\Leaf" << "z" << true << "w";
        QTest::newRow("key without a header of its own") << "Software\\Wine\\Deep" << "x" << false << "";
    }
    void values()
    {
        QFETCH(QString, key);
        QFETCH(QString, name);
        QFETCH(bool, found);
        QFETCH(QString, value);
        vttest::SourcesHome home;
        home.write(".wine/user.reg", kUserReg);
        const auto v = OpenRegistryKey(RegistryRoot::CurrentUser, key).stringValue(name);
        QCOMPARE(v.has_value(), found);
        if (found)
            QCOMPARE(*v, value);
    }

    void keysOpenRelativeAndImplicitParents()
    {
        vttest::SourcesHome home;
        home.write(".wine/user.reg", kUserReg);
        const RegistryKey mgr = OpenRegistryKey(RegistryRoot::CurrentUser, "Software\\Microsoft\\Internet Account Manager");
        QVERIFY(mgr.isOpen());
        QCOMPARE(mgr.open("Accounts\\00000001").stringValue("POP3 Server").value_or(""), QString("pop.example.org"));
        QVERIFY(!mgr.open("Accounts\\00000002").isOpen());
        // Parents exist though the file has no header for them.
        QVERIFY(OpenRegistryKey(RegistryRoot::CurrentUser, "Software\\Wine\\Deep").isOpen());
        QVERIFY(!RegistryKey().open("x").isOpen());
        QVERIFY(!RegistryKey().stringValue("x"));
    }

    void classesRootMergesUserOverMachine()
    {
        vttest::SourcesHome home;
        home.write(".wine/system.reg", kSystemReg);
        home.write(".wine/user.reg", QByteArray("WINE REGISTRY Version 2\n") + kUserClasses);
        const RegistryKey k = OpenRegistryKey(RegistryRoot::ClassesRoot, "Software\\Qualcomm\\Eudora\\CommandLine\\Current");
        QVERIFY(k.isOpen());
        QCOMPARE(k.stringValue("Both").value_or(""), QString("user"));
        QCOMPARE(k.stringValue("Only machine").value_or(""), QString("m"));
        QCOMPARE(k.stringValue("").value_or(""), QString("C:\\Program Files\\Qualcomm\\Eudora\\EUDORA.EXE %1"));
        QCOMPARE(OpenRegistryKey(RegistryRoot::ClassesRoot, ".txt").stringValue("").value_or(""), QString("txtfile"));
        // The machine's branch is not the user's.
        QVERIFY(!OpenRegistryKey(RegistryRoot::CurrentUser, "Software\\Classes\\.txt").isOpen());
        QVERIFY(OpenRegistryKey(RegistryRoot::LocalMachine, "Software\\Classes\\.txt").isOpen());
    }

    void brokenOrMissingFilesFindNothing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("no signature") << QByteArray(kUserReg).mid(24);
        QTest::newRow("binary garbage") << QByteArray("\x00\xff\xfe[Software\\\\Microsoft]\n\x01\x02", 30);
        QTest::newRow("regedit export, not a Wine file")
            << QByteArray("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Account Manager]\n"
                          "\"Default Mail Account\"=\"00000001\"\n");
        QTest::newRow("no file") << QByteArray();
    }
    void brokenOrMissingFilesFindNothing()
    {
        QFETCH(QByteArray, bytes);
        vttest::SourcesHome home;
        if (!bytes.isNull())
            home.write(".wine/user.reg", bytes);
        QVERIFY(!OpenRegistryKey(RegistryRoot::CurrentUser, "Software\\Microsoft\\Internet Account Manager").isOpen());
        QVERIFY(!OpenRegistryKey(RegistryRoot::CurrentUser, "").isOpen());
    }

    void truncatedFileKeepsWhatItHas()
    {
        vttest::SourcesHome home;
        const QByteArray whole(kUserReg);
        home.write(".wine/user.reg", whole.left(whole.indexOf("\"Connection Type\"") + 5));
        const RegistryKey k = OpenRegistryKey(RegistryRoot::CurrentUser,
                                              "Software\\Microsoft\\Internet Account Manager\\Accounts\\00000001");
        QCOMPARE(k.stringValue("Account Name").value_or(""), QString("Mail \"Home\""));
        QVERIFY(!k.stringValue("Connection Type"));
    }

    void changedFileIsReadAgain()
    {
        vttest::SourcesHome home;
        home.write(".wine/user.reg", vttest::wineRegistry({{"Software\\A", {{"v", "one"}}}}));
        QCOMPARE(OpenRegistryKey(RegistryRoot::CurrentUser, "Software\\A").stringValue("v").value_or(""), QString("one"));
        home.write(".wine/user.reg", vttest::wineRegistry({{"Software\\A", {{"v", "second value"}}}}));
        QCOMPARE(OpenRegistryKey(RegistryRoot::CurrentUser, "Software\\A").stringValue("v").value_or(""),
                 QString("second value"));
    }

    void winePaths_data()
    {
        QTest::addColumn<QString>("windowsPath");
        QTest::addColumn<QString>("expected"); // relative to the prefix; "" for none
        QTest::newRow("exact case") << "C:\\Program Files\\Eudora\\Eudora.ini" << "dosdevices/c:/Program Files/Eudora/Eudora.ini";
        QTest::newRow("case ignored") << "c:\\PROGRAM FILES\\eudora\\EUDORA.INI" << "dosdevices/c:/Program Files/Eudora/Eudora.ini";
        QTest::newRow("missing file kept as written") << "C:\\program files\\Eudora\\nndbase.txt"
                                                      << "dosdevices/c:/Program Files/Eudora/nndbase.txt";
        QTest::newRow("missing folder kept as written") << "C:\\Nowhere\\x.ini" << "dosdevices/c:/Nowhere/x.ini";
        QTest::newRow("other drive") << "D:\\data\\f.txt" << "dosdevices/d:/data/f.txt";
        QTest::newRow("unmapped drive") << "E:\\x.ini" << "";
        QTest::newRow("no drive") << "\\Program Files\\x.ini" << "";
        QTest::newRow("relative") << "Eudora.ini" << "";
        QTest::newRow("empty") << "" << "";
    }
    void winePaths()
    {
        QFETCH(QString, windowsPath);
        QFETCH(QString, expected);
        vttest::SourcesHome home;
        home.write(".wine/drive_c/Program Files/Eudora/Eudora.ini", "[Settings]\n");
        home.write(".wine/data-d/data/f.txt", "x");
        QDir(home.prefix()).mkpath("dosdevices");
        QVERIFY(QFile::link("../drive_c", home.prefix() + "/dosdevices/c:"));
        QVERIFY(QFile::link("../data-d", home.prefix() + "/dosdevices/d:"));
        QCOMPARE(WinePathToUnix(windowsPath), expected.isEmpty() ? QString() : home.prefix() + '/' + expected);
    }

    void driveCWithoutDosdevices()
    {
        vttest::SourcesHome home;
        home.write(".wine/drive_c/Eudora/EUDORA.INI", "[Settings]\n");
        QCOMPARE(WinePathToUnix("C:\\Eudora\\Eudora.ini"), home.prefix() + "/drive_c/Eudora/EUDORA.INI");
    }
};
VT_TEST(RegistryTest)

#include "RegistryTest.moc"
