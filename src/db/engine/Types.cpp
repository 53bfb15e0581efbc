#include "Types.h"

#include "Messages.h"
#include "platform/Error.h"

#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>
#include <QTimeZone>
#include <cmath>
#include <limits>

namespace vt::db {

namespace {

QString baseType(const QString& decl)
{
    QString t = decl.trimmed().toUpper();
    const qsizetype paren = t.indexOf('(');
    if (paren >= 0)
        t.truncate(paren);
    return t.simplified();
}

} // namespace

int FieldTypeOfDecl(const QString& declType)
{
    const QString t = baseType(declType);
    if (t.isEmpty())
        return dbText;
    static const QHash<QString, int> exact = {
        {"BOOLEAN", dbBoolean},  {"BOOL", dbBoolean},        {"BIT", dbBoolean},
        {"YESNO", dbBoolean},    {"LOGICAL", dbBoolean},     {"BYTE", dbByte},
        {"TINYINT", dbByte},     {"UNSIGNED TINYINT", dbByte}, {"SMALLINT", dbInteger},
        {"SHORT", dbInteger},    {"INT2", dbInteger},        {"INTEGER", dbLong},
        {"INT", dbLong},         {"LONG", dbLong},           {"MEDIUMINT", dbLong},
        {"BIGINT", dbLong},      {"INT4", dbLong},           {"INT8", dbLong},
        {"COUNTER", dbLong},     {"AUTOINCREMENT", dbLong},  {"CURRENCY", dbCurrency},
        {"MONEY", dbCurrency},   {"SINGLE", dbSingle},       {"FLOAT4", dbSingle},
        {"REAL", dbDouble},      {"DOUBLE", dbDouble},       {"DOUBLE PRECISION", dbDouble},
        {"FLOAT", dbDouble},     {"FLOAT8", dbDouble},       {"NUMERIC", dbDouble},
        {"DECIMAL", dbDouble},   {"NUMBER", dbDouble},       {"DATE", dbDate},
        {"DATETIME", dbDate},    {"TIME", dbDate},           {"TIMESTAMP", dbDate},
        {"TEXT", dbText},        {"VARCHAR", dbText},        {"CHAR", dbText},
        {"CHARACTER", dbText},   {"NVARCHAR", dbText},       {"NCHAR", dbText},
        {"STRING", dbText},      {"VARYING CHARACTER", dbText}, {"NATIVE CHARACTER", dbText},
        {"MEMO", dbMemo},        {"LONGTEXT", dbMemo},       {"NOTE", dbMemo},
        {"CLOB", dbMemo},        {"LONGCHAR", dbMemo},       {"BINARY", dbBinary},
        {"VARBINARY", dbBinary}, {"BLOB", dbLongBinary},     {"LONGBINARY", dbLongBinary},
        {"OLEOBJECT", dbLongBinary}, {"IMAGE", dbLongBinary}, {"GENERAL", dbLongBinary},
    };
    const auto it = exact.constFind(t);
    if (it != exact.constEnd())
        return *it;
    // Otherwise SQLite's own affinity rules decide.
    if (t.contains("INT"))
        return dbLong;
    if (t.contains("CHAR") || t.contains("CLOB") || t.contains("TEXT"))
        return dbText;
    if (t.contains("BLOB"))
        return dbLongBinary;
    if (t.contains("DATE") || t.contains("TIME"))
        return dbDate;
    return dbDouble;
}

int FieldSizeOfDecl(const QString& declType)
{
    static const QRegularExpression re(QStringLiteral("\\(\\s*(\\d+)"));
    const auto m = re.match(declType);
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

QString DeclOfFieldType(int type, int size)
{
    switch (type) {
    case dbBoolean: return QStringLiteral("BOOLEAN");
    case dbByte: return QStringLiteral("BYTE");
    case dbInteger: return QStringLiteral("SMALLINT");
    case dbLong: return QStringLiteral("INTEGER");
    case dbCurrency: return QStringLiteral("CURRENCY");
    case dbSingle: return QStringLiteral("SINGLE");
    case dbDouble: return QStringLiteral("DOUBLE");
    case dbDate: return QStringLiteral("DATETIME");
    case dbBinary: return QStringLiteral("BINARY");
    case dbLongBinary: return QStringLiteral("LONGBINARY");
    case dbMemo: return QStringLiteral("MEMO");
    case dbText:
    default: return size > 0 ? QStringLiteral("TEXT(%1)").arg(size) : QStringLiteral("TEXT");
    }
}

QString DateToStored(const QDateTime& dt)
{
    const QTime t = dt.time();
    if (t.hour() == 0 && t.minute() == 0 && t.second() == 0)
        return dt.date().toString(QStringLiteral("yyyy-MM-dd"));
    return dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QDateTime ParseDateText(const QString& input)
{
    // The stored forms, read without the general parser: they are what every
    // date value of a record set looks like.
    auto digits = [&](qsizetype at, int n, int& out) {
        out = 0;
        for (int i = 0; i < n; ++i) {
            const QChar c = input[at + i];
            if (c < '0' || c > '9')
                return false;
            out = out * 10 + (c.unicode() - '0');
        }
        return true;
    };
    if ((input.size() == 10 || input.size() == 19) && input[4] == '-' && input[7] == '-') {
        int y, mo, d, h = 0, mi = 0, se = 0;
        bool ok = digits(0, 4, y) && digits(5, 2, mo) && digits(8, 2, d);
        if (ok && input.size() == 19)
            ok = input[10] == ' ' && input[13] == ':' && input[16] == ':' && digits(11, 2, h) && digits(14, 2, mi)
                && digits(17, 2, se);
        if (ok) {
            const QDate date(y, mo, d);
            const QTime time(h, mi, se);
            if (date.isValid() && time.isValid())
                return QDateTime(date, time);
        }
    }
    const QString text = input.trimmed();
    if (text.isEmpty())
        return {};
    // yyyy-mm-dd or yyyy/mm/dd, optional time (with "T" or blank).
    static const QRegularExpression iso(QStringLiteral(
        "^(\\d{4})[-/](\\d{1,2})[-/](\\d{1,2})(?:[T ]+(\\d{1,2}):(\\d{2})(?::(\\d{2})(?:\\.\\d+)?)?\\s*([AaPp][Mm])?)?$"));
    // m/d/yyyy or m-d-yy, optional time.
    static const QRegularExpression us(QStringLiteral(
        "^(\\d{1,2})[-/.](\\d{1,2})[-/.](\\d{2}|\\d{4})(?:\\s+(\\d{1,2}):(\\d{2})(?::(\\d{2}))?\\s*([AaPp][Mm])?)?$"));
    // A time of day alone.
    static const QRegularExpression timeOnly(
        QStringLiteral("^(\\d{1,2}):(\\d{2})(?::(\\d{2}))?\\s*([AaPp][Mm])?$"));
    auto makeTime = [](const QString& h, const QString& m, const QString& s, const QString& ampm, bool& ok) {
        int hh = h.isEmpty() ? 0 : h.toInt();
        const int mm = m.isEmpty() ? 0 : m.toInt();
        const int ss = s.isEmpty() ? 0 : s.toInt();
        if (!ampm.isEmpty()) {
            if (hh < 1 || hh > 12)
                ok = false;
            hh %= 12;
            if (ampm.startsWith('p', Qt::CaseInsensitive))
                hh += 12;
        }
        QTime t(hh, mm, ss);
        if (!t.isValid())
            ok = false;
        return t;
    };
    bool ok = true;
    if (auto m = iso.match(text); m.hasMatch()) {
        const QDate d(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        const QTime t = makeTime(m.captured(4), m.captured(5), m.captured(6), m.captured(7), ok);
        return d.isValid() && ok ? QDateTime(d, t) : QDateTime();
    }
    if (auto m = us.match(text); m.hasMatch()) {
        int y = m.captured(3).toInt();
        if (m.captured(3).size() == 2)
            y += y < 30 ? 2000 : 1900; // two-digit years as the engine reads them
        const QDate d(y, m.captured(1).toInt(), m.captured(2).toInt());
        const QTime t = makeTime(m.captured(4), m.captured(5), m.captured(6), m.captured(7), ok);
        return d.isValid() && ok ? QDateTime(d, t) : QDateTime();
    }
    if (auto m = timeOnly.match(text); m.hasMatch()) {
        const QTime t = makeTime(m.captured(1), m.captured(2), m.captured(3), m.captured(4), ok);
        return ok ? QDateTime(QDate(1899, 12, 30), t) : QDateTime();
    }
    const QLocale loc = QLocale::system();
    for (const QString& f : {loc.dateTimeFormat(QLocale::ShortFormat), loc.dateFormat(QLocale::ShortFormat),
                             loc.dateTimeFormat(QLocale::LongFormat), loc.dateFormat(QLocale::LongFormat)}) {
        QDateTime dt = loc.toDateTime(text, f);
        if (dt.isValid())
            return dt;
    }
    return {};
}

namespace {

bool parseNumber(const QString& s, double& out)
{
    const QString t = s.trimmed();
    if (t.isEmpty())
        return false;
    bool ok = false;
    out = QLocale::c().toDouble(t, &ok);
    if (!ok)
        out = QLocale::system().toDouble(t, &ok);
    return ok && std::isfinite(out);
}

double toNumber(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::Bool: return v.toBool() ? -1 : 0;
    case QMetaType::QString: {
        double d;
        if (parseNumber(v.toString(), d))
            return d;
        const QString t = v.toString().trimmed();
        if (t.compare("True", Qt::CaseInsensitive) == 0 || t.compare("Yes", Qt::CaseInsensitive) == 0)
            return -1;
        if (t.compare("False", Qt::CaseInsensitive) == 0 || t.compare("No", Qt::CaseInsensitive) == 0)
            return 0;
        throw VtError(msg::Conversion());
    }
    case QMetaType::QDateTime:
    case QMetaType::QDate:
        throw VtError(msg::Conversion());
    default: {
        bool ok = false;
        const double d = v.toDouble(&ok);
        if (!ok)
            throw VtError(msg::Conversion());
        return d;
    }
    }
}

qint64 toWhole(const QVariant& v, qint64 lo, qint64 hi)
{
    if (v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Int || v.typeId() == QMetaType::UInt
        || v.typeId() == QMetaType::ULongLong) {
        const qint64 n = v.toLongLong();
        if (n < lo || n > hi)
            throw VtError(msg::Overflow());
        return n;
    }
    const double d = std::nearbyint(toNumber(v)); // rounds half to even, as the engine does
    if (d < double(lo) || d > double(hi))
        throw VtError(msg::Overflow());
    return qint64(d);
}

bool textToBool(const QString& s, bool& out)
{
    const QString t = s.trimmed();
    for (const char* w : {"True", "Yes", "On"})
        if (t.compare(QLatin1String(w), Qt::CaseInsensitive) == 0)
            return out = true, true;
    for (const char* w : {"False", "No", "Off"})
        if (t.compare(QLatin1String(w), Qt::CaseInsensitive) == 0)
            return out = false, true;
    double d;
    if (parseNumber(t, d))
        return out = d != 0, true;
    return false;
}

QDateTime julianOrUnix(double d)
{
    if (d >= 1721425.5 && d <= 5373484.5) { // a Julian day number, as SQLite's date functions keep it
        const qint64 ms = qint64(std::llround((d - 2440587.5) * 86400000.0));
        return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC).toLocalTime();
    }
    return QDateTime::fromSecsSinceEpoch(qint64(d), Qt::UTC).toLocalTime();
}

} // namespace

QVariant FromStored(int type, const QVariant& v)
{
    if (v.isNull())
        return QVariant();
    const int id = v.typeId();
    switch (type) {
    case dbBoolean:
        if (id == QMetaType::LongLong || id == QMetaType::Double)
            return QVariant(v.toDouble() != 0);
        if (id == QMetaType::QString) {
            bool b;
            if (textToBool(v.toString(), b))
                return QVariant(b);
        }
        return v;
    case dbByte:
    case dbInteger:
    case dbLong:
        if (id == QMetaType::LongLong) {
            const qint64 n = v.toLongLong();
            if (n >= std::numeric_limits<int>::min() && n <= std::numeric_limits<int>::max())
                return QVariant(int(n));
            return v;
        }
        return v;
    case dbSingle:
        if (id == QMetaType::LongLong || id == QMetaType::Double)
            return QVariant(float(v.toDouble()));
        return v;
    case dbCurrency:
    case dbDouble:
        if (id == QMetaType::LongLong)
            return QVariant(v.toDouble());
        return v;
    case dbDate:
        if (id == QMetaType::QString) {
            const QDateTime dt = ParseDateText(v.toString());
            return dt.isValid() ? QVariant(dt) : v;
        }
        if (id == QMetaType::LongLong || id == QMetaType::Double)
            return QVariant(julianOrUnix(v.toDouble()));
        return v;
    case dbText:
    case dbMemo:
        if (id == QMetaType::QByteArray)
            return QVariant(QString::fromUtf8(v.toByteArray()));
        if (id == QMetaType::Double) // the shortest text that reads back the same
            return QVariant(QString::number(v.toDouble(), 'g', QLocale::FloatingPointShortest));
        return QVariant(v.toString());
    default:
        return v;
    }
}

QVariant ToStored(int type, int size, const QVariant& v)
{
    if (v.isNull() || !v.isValid())
        return QVariant();
    switch (type) {
    case dbBoolean: {
        if (v.typeId() == QMetaType::Bool)
            return QVariant(qint64(v.toBool() ? -1 : 0));
        if (v.typeId() == QMetaType::QString) {
            bool b;
            if (!textToBool(v.toString(), b))
                throw VtError(msg::Conversion());
            return QVariant(qint64(b ? -1 : 0));
        }
        return QVariant(qint64(toNumber(v) != 0 ? -1 : 0));
    }
    case dbByte: return QVariant(toWhole(v, 0, 255));
    case dbInteger: return QVariant(toWhole(v, -32768, 32767));
    case dbLong: return QVariant(toWhole(v, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()));
    case dbCurrency: {
        const double d = toNumber(v);
        if (std::fabs(d) > 922337203685477.0)
            throw VtError(msg::Overflow());
        return QVariant(std::round(d * 10000.0) / 10000.0);
    }
    case dbSingle: {
        const double d = toNumber(v);
        if (std::fabs(d) > double(std::numeric_limits<float>::max()))
            throw VtError(msg::Overflow());
        return QVariant(double(float(d)));
    }
    case dbDouble: return QVariant(toNumber(v));
    case dbDate: {
        if (v.typeId() == QMetaType::QDateTime)
            return QVariant(DateToStored(v.toDateTime()));
        if (v.typeId() == QMetaType::QDate)
            return QVariant(DateToStored(QDateTime(v.toDate(), QTime(0, 0))));
        if (v.typeId() == QMetaType::QString) {
            const QDateTime dt = ParseDateText(v.toString());
            if (!dt.isValid())
                throw VtError(msg::Conversion());
            return QVariant(DateToStored(dt));
        }
        throw VtError(msg::Conversion());
    }
    case dbBinary:
    case dbLongBinary:
        if (v.typeId() == QMetaType::QByteArray)
            return v;
        return QVariant(v.toString().toUtf8());
    case dbText:
    case dbMemo:
    default: {
        QString s;
        if (v.typeId() == QMetaType::Bool)
            s = v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
        else if (v.typeId() == QMetaType::QDateTime)
            s = DateToStored(v.toDateTime());
        else
            s = v.toString();
        if (type == dbText && size > 0 && s.size() > size)
            throw VtError(msg::TooSmall());
        return QVariant(s);
    }
    }
}

} // namespace vt::db
