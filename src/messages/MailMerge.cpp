#include "MailMerge.h"

#include "platform/Prompt.h"
#include "texts/ResText.h"

#include <QDateTime>
#include <QLocale>
#include <cmath>

namespace vt {
namespace {

QString plainNumber(double d)
{
    if (!std::isfinite(d))
        return QString();
    QString s = QString::number(d, 'g', QLocale::FloatingPointShortest);
    if (!s.contains('e'))
        return s;
    // Large or tiny magnitudes: written out in full rather than with an exponent.
    s = QString::number(d, 'f', 30);
    if (s.contains('.')) {
        while (s.endsWith('0'))
            s.chop(1);
        if (s.endsWith('.'))
            s.chop(1);
    }
    return s;
}

QString timeText(const QTime& t)
{
    const QLocale loc = QLocale::system();
    QString fmt = loc.timeFormat(QLocale::ShortFormat);
    if (t.second() != 0 && !fmt.contains('s'))
        fmt.replace(QLatin1String("mm"), QLatin1String("mm:ss"));
    return loc.toString(t, fmt);
}

} // namespace

QString ValueText(const QVariant& v)
{
    if (!v.isValid() || v.isNull())
        return QString();
    switch (v.typeId()) {
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UChar:
    case QMetaType::Char:
        return QString::number(v.toLongLong());
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return QString::number(v.toULongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return plainNumber(v.toDouble());
    case QMetaType::QDate:
        return QLocale::system().toString(v.toDate(), QLocale::ShortFormat);
    case QMetaType::QDateTime: {
        const QDateTime dt = v.toDateTime();
        QString s = QLocale::system().toString(dt.date(), QLocale::ShortFormat);
        if (dt.time() != QTime(0, 0))
            s += ' ' + timeText(dt.time());
        return s;
    }
    case QMetaType::QByteArray:
        return QString(); // binary data has no text form
    default:
        return v.toString();
    }
}

QString MergeFields(const QString& templ, const MergeRecord& row)
{
    // The text before the first "[" never changes, so the scan goes on from
    // where the last placeholder began instead of from the start: the result
    // is the same as restarting, without copying the text for every field.
    QString out;
    out.reserve(templ.size() + templ.size() / 2);
    QString work = templ;
    qsizetype pos = 0;
    int substitutions = 0;
    while (true) {
        const qsizetype open = work.indexOf('[', pos);
        if (open < 0)
            break;
        const qsizetype close = work.indexOf(']', open + 1);
        if (close < 0)
            break;
        if (++substitutions > MaxSubstitutions || out.size() + work.size() > MaxMergedLength)
            break;
        const QString value = row.fieldText(work.mid(open + 1, close - open - 1));
        out += QStringView(work).mid(pos, open - pos);
        if (!value.contains('[')) {
            out += value;
            pos = close + 1;
        } else {
            // The value's own brackets are scanned together with the rest.
            work = value + work.mid(close + 1);
            pos = 0;
        }
    }
    out += QStringView(work).mid(pos);
    return out;
}

bool CheckFields(const QString& templ, const MergeRecord& row, const QString& emailField)
{
    auto report = [](const QString& text) {
        Prompt::Box b;
        b.text = text;
        prompt().message(b);
        return false;
    };
    if (!row.hasField(emailField))
        return report(ResText(1147) + emailField + ResText(1149));
    qsizetype p = templ.indexOf('[');
    while (p >= 0) {
        const qsizetype close = templ.indexOf(']', p + 1);
        if (close >= 0) {
            const QString name = templ.mid(p + 1, close - p - 1);
            if (!row.hasField(name))
                return report(ResText(1148) + name + ResText(1149));
        }
        p = templ.indexOf('[', p + 1);
    }
    return true;
}

} // namespace vt
