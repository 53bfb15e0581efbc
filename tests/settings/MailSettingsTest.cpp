#include "../common/TestMain.h"
#include "../common/TestUtil.h"

#include "platform/Settings.h"
#include "settings/MailSettings.h"

#include <QTest>

using namespace vt;

class MailSettingsTest : public QObject {
    Q_OBJECT
private slots:
    void splitRemoteHost_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("host"); // "" = not a server
        QTest::addColumn<int>("port");
        QTest::newRow("host only") << "smtp.example.org" << "smtp.example.org" << 25;
        QTest::newRow("blanks around") << "  smtp.example.org  " << "smtp.example.org" << 25;
        QTest::newRow("host and port") << "smtp.example.org:587" << "smtp.example.org" << 587;
        QTest::newRow("ip and port") << "127.0.0.1:2525" << "127.0.0.1" << 2525;
        QTest::newRow("bracketed v6 with port") << "[::1]:2525" << "::1" << 2525;
        QTest::newRow("bracketed v6") << "[2001:db8::1]" << "2001:db8::1" << 25;
        QTest::newRow("bare v6") << "2001:db8::1" << "2001:db8::1" << 25;
        QTest::newRow("highest port") << "h:65535" << "h" << 65535;
        QTest::newRow("port zero") << "h:0" << "" << 25;
        QTest::newRow("port too big") << "h:65536" << "" << 25;
        QTest::newRow("port not a number") << "h:smtp" << "" << 25;
        QTest::newRow("empty port") << "h:" << "" << 25;
        QTest::newRow("no host") << ":25" << "" << 25;
        QTest::newRow("empty") << "" << "" << 25;
        QTest::newRow("blank inside") << "smtp example.org" << "" << 25;
        QTest::newRow("unclosed bracket") << "[::1:25" << "" << 25;
        QTest::newRow("junk after bracket") << "[::1]x" << "" << 25;
    }
    void splitRemoteHost()
    {
        QFETCH(QString, text);
        QFETCH(QString, host);
        QFETCH(int, port);
        const SmtpServer s = SplitRemoteHost(text);
        QCOMPARE(s.host, host);
        QCOMPARE(s.isValid(), !host.isEmpty());
        if (s.isValid())
            QCOMPARE(int(s.port), port);
    }

    void joinRemoteHostRoundTrips_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("text");
        QTest::newRow("port 25 left out") << "smtp.example.org" << 25 << "smtp.example.org";
        QTest::newRow("port 0 left out") << "smtp.example.org" << 0 << "smtp.example.org";
        QTest::newRow("other port") << "smtp.example.org" << 587 << "smtp.example.org:587";
        QTest::newRow("v6") << "::1" << 2525 << "[::1]:2525";
    }
    void joinRemoteHostRoundTrips()
    {
        QFETCH(QString, host);
        QFETCH(int, port);
        QFETCH(QString, text);
        QCOMPARE(JoinRemoteHost(host, port), text);
        const SmtpServer s = SplitRemoteHost(text);
        QCOMPARE(s.host, host);
        QCOMPARE(int(s.port), port == 0 ? 25 : port);
    }

    void flags_data()
    {
        QTest::addColumn<QString>("stored"); // null = missing
        QTest::addColumn<bool>("defaultValue");
        QTest::addColumn<bool>("expected");
        QTest::newRow("missing gives default true") << QString() << true << true;
        QTest::newRow("missing gives default false") << QString() << false << false;
        QTest::newRow("True") << "True" << false << true;
        QTest::newRow("False") << "False" << true << false;
        QTest::newRow("letter case ignored") << "FALSE" << true << false;
        QTest::newRow("number zero") << "0" << true << false;
        QTest::newRow("number non-zero") << "-1" << false << true;
        QTest::newRow("unreadable gives default") << "maybe" << true << true;
        QTest::newRow("empty gives default") << "" << false << false;
    }
    void flags()
    {
        QFETCH(QString, stored);
        QFETCH(bool, defaultValue);
        QFETCH(bool, expected);
        vttest::ProgramDir dir;
        if (!stored.isNull())
            SaveSetting("General", "SendImmediate", stored);
        QCOMPARE(SettingFlag("General", "SendImmediate", defaultValue), expected);
    }

    void usableNeedsAddressAndServer()
    {
        vttest::ProgramDir dir;
        QVERIFY(!MailSettingsUsable());
        SaveSetting("Internet Mail", "EMail", "me@example.org");
        QVERIFY(!MailSettingsUsable());
        SaveSetting("Internet Mail", "RemoteHost", "   ");
        QVERIFY(!MailSettingsUsable()); // blanks are no server
        SaveSetting("Internet Mail", "RemoteHost", "smtp.example.org");
        QVERIFY(MailSettingsUsable()); // the name may stay empty
    }
};
VT_TEST(MailSettingsTest)

#include "MailSettingsTest.moc"
