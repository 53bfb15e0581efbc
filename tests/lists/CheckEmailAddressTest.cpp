#include "../common/TestMain.h"

#include "lists/CheckEmailAddress.h"

#include <QTest>

using namespace vt;

class CheckEmailAddressTest : public QObject {
    Q_OBJECT
private slots:
    void rules_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("ok");
        QTest::newRow("plain") << "ann@example.com" << true;
        QTest::newRow("no at") << "ann.example.com" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("nothing before at") << "@example.com" << false;
        QTest::newRow("nothing after at") << "ann@" << false;
        QTest::newRow("blank in local") << "ann smith@example.com" << false;
        QTest::newRow("two dots in local") << "ann..smith@example.com" << false;
        QTest::newRow("leading dot") << ".ann@example.com" << true;
        QTest::newRow("trailing dot") << "ann.@example.com" << true;
        QTest::newRow("bang and brace") << "a!b{c}@example.com" << true;
        QTest::newRow("all allowed marks") << "!#$%&'*+-/=?^_`{|}~.x@example.com" << true;
        QTest::newRow("quote o'brien") << "o'brien@example.com" << true;
        QTest::newRow("parenthesis") << "a(b@example.com" << false;
        QTest::newRow("colon") << "a:b@example.com" << false;
        QTest::newRow("each refused mark") << "a<b>c[d]e\\f,g;h\"i@example.com" << false;
        QTest::newRow("control char") << QString("a\tb@example.com") << false;
        QTest::newRow("accent in local") << QString::fromUtf8("zoë@example.com") << false;
        QTest::newRow("accent in domain") << QString::fromUtf8("zoe@exämple.com") << false;
        QTest::newRow("domain ends in dot") << "ann@example.com." << false;
        QTest::newRow("domain ends in hyphen") << "ann@example-" << false;
        QTest::newRow("domain two dots") << "ann@example..com" << false;
        QTest::newRow("hyphen before dot") << "ann@example-.com" << false;
        QTest::newRow("hyphen between letters") << "ann@my-example.com" << true;
        QTest::newRow("underscore in domain") << "ann@my_example.com" << false;
        QTest::newRow("second at") << "ann@b@example.com" << false;
        QTest::newRow("no dot needed") << "x@y" << true;
        QTest::newRow("domain may start with dot") << "x@.y" << true;
        QTest::newRow("domain may start with hyphen") << "x@-y" << true;
        QTest::newRow("display name form") << "Ann <ann@example.com>" << false;
        QTest::newRow("huge local part") << QString(40000, 'a') + "@example.com" << false;
        QTest::newRow("huge domain") << "a@" + QString(40000, 'b') << false;
    }
    void rules()
    {
        QFETCH(QString, address);
        QFETCH(bool, ok);
        QCOMPARE(CheckEmailAddress(address), ok);
    }
};

VT_TEST(CheckEmailAddressTest)
#include "CheckEmailAddressTest.moc"
