#include "../common/TestMain.h"
#include "../common/TestUtil.h"
#include "Fixtures.h"

#include "platform/Prompt.h"
#include "platform/Settings.h"
#include "platform/Wildcard.h"
#include "settings/DiscoverMailSettings.h"
#include "settings/EudoraPath.h"

#include <QFile>
#include <QTest>

#include <sys/stat.h>

using namespace vt;
using vttest::RegKey;

namespace {
const QString None = QStringLiteral("<none>");
const QString IM = QStringLiteral("Internet Mail");

using Values = QList<QPair<QString, QString>>;

// The four Microsoft sources as the user's branch of the registry holds them.
QList<RegKey> internetMailAndNews(const Values& v)
{
    return {{"Software\\Microsoft\\Internet Mail and News\\Mail", v}};
}
QList<RegKey> accountManager(const QString& key, const Values& v, const QString& account = "00000002")
{
    return {{key, {{"Default Mail Account", account}, {"Default News Account", "00000001"}}},
            {key + "\\Accounts\\00000001", {{"SMTP Server", "news.wrong.example"}}},
            {key + "\\Accounts\\00000002", v}};
}
QList<RegKey> messagingProfile(const Values& v, const QString& profile = "MS Exchange Settings")
{
    const QString key = "Software\\Microsoft\\Windows Messaging Subsystem\\Profiles";
    return {{key, {{"DefaultProfile", profile}}},
            {key + "\\MS Exchange Settings\\5748ba2d8efdcf119e65444553540000", v}};
}
const QString IAM = "Software\\Microsoft\\Internet Account Manager";
const QString OMI = "Software\\Microsoft\\Office\\8.0\\Outlook\\OMI Account Manager";

QByteArray userReg(const QList<QList<RegKey>>& sources)
{
    QList<RegKey> all;
    for (const auto& s : sources)
        all += s;
    return vttest::wineRegistry(all);
}

// Eudora registered in the machine's classes, installed in C:\Eudora.
QByteArray eudoraRegistered(const QString& commandLine = "C:\\Eudora\\EUDORA.EXE /m")
{
    return vttest::wineRegistry({{"Software\\Classes\\Software\\Qualcomm\\Eudora\\CommandLine\\Current", {{"", commandLine}}}});
}
const QByteArray kEudoraIni = "[Settings]\r\nSMTPServer= mail.eudora.example \r\nPOPAccount=eve@eudora.example\r\n"
                              "RealName=Eve Eudora\r\n";

const QByteArray kPrefs = R"(user_pref("mail.accountmanager.defaultaccount", "account1");
user_pref("mail.account.account1.identities", "id1");
user_pref("mail.identity.id1.useremail", "tom@bird.example");
user_pref("mail.identity.id1.fullName", "Tom Bird");
user_pref("mail.smtp.defaultserver", "smtp1");
user_pref("mail.smtpserver.smtp1.hostname", "smtp.bird.example");
user_pref("mail.smtpserver.smtp1.port", 587);
)";
const QByteArray kMsmtp = "account default\nhost relay.msmtp.example\nfrom max@msmtp.example\n";
const QByteArray kGit = "[user]\n\tname = Gil Git\n\temail = gil@git.example\n[sendemail]\n\tsmtpServer = smtp.git.example\n";

struct Sources {
    QByteArray user, system, eudoraIni, prefs, msmtp, git;
};

void writeSources(const vttest::SourcesHome& home, const Sources& s)
{
    if (!s.user.isNull())
        home.write(".wine/user.reg", s.user);
    if (!s.system.isNull())
        home.write(".wine/system.reg", s.system);
    if (!s.eudoraIni.isNull())
        home.write(".wine/drive_c/Eudora/EUDORA.INI", s.eudoraIni);
    if (!s.prefs.isNull()) {
        home.write(".thunderbird/profiles.ini", "[Profile0]\nName=default\nIsRelative=1\nPath=ab12.default\nDefault=1\n");
        home.write(".thunderbird/ab12.default/prefs.js", s.prefs);
    }
    if (!s.msmtp.isNull())
        home.write(".msmtprc", s.msmtp);
    if (!s.git.isNull())
        home.write(".gitconfig", s.git);
}

QString stored(const QString& key) { return HasSetting(IM, key) ? GetSetting(IM, key) : None; }
} // namespace

Q_DECLARE_METATYPE(Sources)

class DiscoveryTest : public QObject {
    Q_OBJECT
private slots:
    void sources_data()
    {
        QTest::addColumn<Sources>("sources");
        QTest::addColumn<QStringList>("preset"); // key=value
        QTest::addColumn<QString>("remoteHost");
        QTest::addColumn<QString>("email");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("mapi");
        QTest::addColumn<bool>("mustAsk");

        const Values full = {{"SMTP Server", "smtp.acct.example"},
                             {"SMTP Email Address", "al@acct.example"},
                             {"SMTP Display Name", "Al Account"}};
        QTest::newRow("news server only, then the account manager")
            << Sources{userReg({internetMailAndNews({{"Default SMTP Server", "smtp.imn.example"}}),
                                accountManager(IAM, full)})}
            << QStringList() << "smtp.imn.example" << "al@acct.example" << "Al Account" << "True" << false;
        QTest::newRow("values trimmed")
            << Sources{userReg({internetMailAndNews({{"Default SMTP Server", "  smtp.imn.example\t"},
                                                     {"Sender EMail", " ian@imn.example "},
                                                     {"Sender Name", "  Ian  Imn  "}})})}
            << QStringList() << "smtp.imn.example" << "ian@imn.example" << "Ian  Imn" << "True" << false;
        QTest::newRow("Outlook account manager")
            << Sources{userReg({accountManager(OMI, full)})} << QStringList() << "smtp.acct.example"
            << "al@acct.example" << "Al Account" << "True" << false;
        QTest::newRow("messaging profile")
            << Sources{userReg({messagingProfile({{"001e6600", "smtp.wms.example"},
                                                  {"001e6605", "wes@wms.example"},
                                                  {"001e6607", "Wes Wms"}})})}
            << QStringList() << "smtp.wms.example" << "wes@wms.example" << "Wes Wms" << "True" << false;
        QTest::newRow("default profile without its key")
            << Sources{userReg({messagingProfile({{"001e6600", "smtp.wms.example"}}, "Missing Profile")})}
            << QStringList() << None << None << None << None << true;
        QTest::newRow("account name pointing nowhere")
            << Sources{userReg({accountManager(IAM, full, "00000009")})} << QStringList() << None << None << None
            << None << true;
        QTest::newRow("only Eudora")
            << Sources{QByteArray(), eudoraRegistered(), kEudoraIni} << QStringList() << "mail.eudora.example"
            << "eve@eudora.example" << "Eve Eudora" << "False" << false;
        QTest::newRow("Eudora with a quoted command line")
            << Sources{QByteArray(), eudoraRegistered("\"C:\\\\Eudora\\\\EUDORA.EXE\" %1"), kEudoraIni}
            << QStringList() << "mail.eudora.example" << "eve@eudora.example" << "Eve Eudora" << "False" << false;
        QTest::newRow("Eudora command line without EUDORA.EXE")
            << Sources{QByteArray(), eudoraRegistered("C:\\Eudora\\Eudora.exe"), kEudoraIni} << QStringList() << None
            << None << None << None << true;
        QTest::newRow("Eudora.ini without the keys: written empty, no marker")
            << Sources{QByteArray(), eudoraRegistered(), "[Settings]\r\nOther=1\r\n"} << QStringList() << ""
            << "" << "" << None << true;
        QTest::newRow("what is set stays; a later source completes the rest")
            << Sources{userReg({internetMailAndNews({{"Default SMTP Server", "smtp.imn.example"},
                                                     {"Sender Name", "Ian Imn"}})}),
                       eudoraRegistered(), kEudoraIni}
            << QStringList{"Name=Set By User"} << "smtp.imn.example" << "eve@eudora.example" << "Set By User"
            << "False" << false;
        QTest::newRow("blank setting counts as empty")
            << Sources{userReg({accountManager(IAM, full)})} << QStringList{"EMail=   "} << "smtp.acct.example"
            << "al@acct.example" << "Al Account" << "True" << false;
        QTest::newRow("usable already: nothing read, Name stays empty")
            << Sources{userReg({internetMailAndNews({{"Sender Name", "Ian Imn"}}), accountManager(IAM, full)}),
                       eudoraRegistered(), kEudoraIni, kPrefs, kMsmtp, kGit}
            << QStringList{"EMail=me@here.example", "RemoteHost=smtp.here.example"} << "smtp.here.example"
            << "me@here.example" << None << None << false;
        QTest::newRow("overlong value does not fit")
            << Sources{userReg({internetMailAndNews({{"Default SMTP Server", QString(255, 'h')},
                                                     {"Sender EMail", "ian@imn.example"}})})}
            << QStringList() << None << "ian@imn.example" << None << None << true;
        QTest::newRow("longest value that fits")
            << Sources{userReg({internetMailAndNews({{"Default SMTP Server", QString(254, 'h')}})})}
            << QStringList() << QString(254, 'h') << None << None << None << true;
        QTest::newRow("Thunderbird")
            << Sources{QByteArray(), QByteArray(), QByteArray(), kPrefs} << QStringList() << "smtp.bird.example:587"
            << "tom@bird.example" << "Tom Bird" << None << false;
        QTest::newRow("msmtp completes them: git not read")
            << Sources{QByteArray(), QByteArray(), QByteArray(), QByteArray(), kMsmtp, kGit} << QStringList()
            << "relay.msmtp.example" << "max@msmtp.example" << None << None << false;
        QTest::newRow("msmtp server, git the rest")
            << Sources{QByteArray(), QByteArray(), QByteArray(), QByteArray(), "account default\nhost relay.msmtp.example\n",
                       kGit}
            << QStringList() << "relay.msmtp.example" << "gil@git.example" << "Gil Git" << None << false;
        QTest::newRow("git alone")
            << Sources{QByteArray(), QByteArray(), QByteArray(), QByteArray(), QByteArray(), kGit} << QStringList()
            << "smtp.git.example" << "gil@git.example" << "Gil Git" << None << false;
        QTest::newRow("registry first, Linux sources complete without a marker")
            << Sources{userReg({internetMailAndNews({{"Default SMTP Server", "smtp.imn.example"}})}), QByteArray(),
                       QByteArray(), kPrefs}
            << QStringList() << "smtp.imn.example" << "tom@bird.example" << "Tom Bird" << None << false;
        QTest::newRow("nothing anywhere") << Sources{} << QStringList() << None << None << None << None << true;
    }
    void sources()
    {
        QFETCH(Sources, sources);
        QFETCH(QStringList, preset);
        vttest::ProgramDir dir;
        vttest::SourcesHome home;
        writeSources(home, sources);
        for (const QString& p : preset)
            SaveSetting(IM, p.section('=', 0, 0), p.section('=', 1));

        QTEST(DiscoverMailSettings(), "mustAsk");
        QTEST(stored("RemoteHost"), "remoteHost");
        QTEST(stored("EMail"), "email");
        QTEST(stored("Name"), "name");
        QTEST(stored("MAPI"), "mapi");
    }

    // A broken source gives nothing, quietly, and the next one still runs.
    void brokenSourcesContributeNothing_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("bytes"); // null: make a pipe instead of a file
        QTest::addColumn<QByteArray>("gitconfig");
        QTest::addColumn<QString>("expectedHost");

        const QByteArray git = kGit;
        QTest::newRow("garbage user.reg") << ".wine/user.reg" << QByteArray("\x89PNG\r\n\x1a\n\0\0\0", 11) << git
                                          << "smtp.git.example";
        QTest::newRow("garbage Eudora.ini")
            << ".wine/drive_c/Eudora/Eudora.ini" << QByteArray("\0\0\xff\xfe\0[Settings", 16) << git << "smtp.git.example";
        QTest::newRow("damaged prefs.js") << ".thunderbird/ab12.default/prefs.js"
                                          << kPrefs.left(kPrefs.size() / 2) << git << "smtp.git.example";
        QTest::newRow("msmtp file that is a pipe") << ".msmtprc" << QByteArray() << git << "smtp.git.example";
        QTest::newRow("huge msmtp file") << ".msmtprc" << QByteArray(3 * 1024 * 1024, '#') << git << "smtp.git.example";
        QTest::newRow("msmtp folder instead of a file") << ".msmtprc/x" << QByteArray("x") << git << "smtp.git.example";
        QTest::newRow("broken git configuration") << ".config/git/config" << QByteArray("[user\n")
                                                  << git << None;
    }
    void brokenSourcesContributeNothing()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, gitconfig);
        vttest::ProgramDir dir;
        vttest::SourcesHome home;
        home.write(".wine/system.reg", eudoraRegistered());
        home.write(".thunderbird/profiles.ini", "[Profile0]\nPath=ab12.default\nDefault=1\n");
        home.write(".gitconfig", gitconfig);
        if (bytes.isNull()) {
            QVERIFY(::mkfifo(QFile::encodeName(home.file(file)).constData(), 0600) == 0);
        } else {
            home.write(file, bytes);
        }
        vt::ScriptedPrompt prompt;
        DiscoverMailSettings();
        QTEST(stored("RemoteHost"), "expectedHost");
        QVERIFY(prompt.asked().empty());
    }

    void eudoraWindowsPath_data()
    {
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << "C:\\Eudora\\EUDORA.EXE" << "C:\\Eudora\\nndbase.txt";
        QTest::newRow("arguments after") << "C:\\Eudora\\EUDORA.EXE %1" << "C:\\Eudora\\nndbase.txt";
        QTest::newRow("doubled backslashes") << "C:\\\\Program Files\\\\\\Eudora\\\\EUDORA.EXE"
                                             << "C:\\Program Files\\Eudora\\nndbase.txt";
        QTest::newRow("quoted") << "\"C:\\Program Files\\Eudora\\EUDORA.EXE\" /m" << "C:\\Program Files\\Eudora\\nndbase.txt";
        QTest::newRow("first occurrence") << "C:\\EUDORA.EXE\\EUDORA.EXE" << "C:\\nndbase.txt";
        QTest::newRow("case matters") << "C:\\Eudora\\Eudora.exe" << "";
        QTest::newRow("empty") << "" << "";
    }
    void eudoraWindowsPath()
    {
        QFETCH(QString, commandLine);
        QFETCH(QString, expected);
        QCOMPARE(EudoraWindowsPath(commandLine, "nndbase.txt"), expected);
    }

    void eudoraPathFindsTheFileInThePrefix()
    {
        vttest::SourcesHome home;
        QCOMPARE(EudoraPath("nndbase.txt"), QString()); // no prefix at all
        home.write(".wine/system.reg", eudoraRegistered("C:\\PROGRA~1\\Eudora\\EUDORA.EXE"));
        home.write(".wine/drive_c/progra~1/eudora/NNDBASE.TXT", "alias joe joe@example.org\r\n");
        const QString p = EudoraPath("nndbase.txt");
        QCOMPARE(p, home.prefix() + "/drive_c/progra~1/eudora/NNDBASE.TXT");
        QVERIFY(FileExists(p));
    }
};
VT_TEST(DiscoveryTest)

#include "DiscoveryTest.moc"
