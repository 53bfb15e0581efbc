#include "Criteria.h"

#include "texts/ResText.h"
#include "workspace/DataObjects.h"

namespace vt {
namespace {

struct Relation {
    int id;
    const char* op;
    const char* before; // wildcard put before the value
    const char* after;  // and after it
};

const Relation kRelations[] = {
    {1200, "=", "", ""},           {1201, "<>", "", ""},        {1202, ">", "", ""},
    {1203, "<", "", ""},           {1204, ">=", "", ""},        {1205, "<=", "", ""},
    {1206, "LIKE", "", "*"},       {1207, "LIKE", "*", "*"},    {1208, "NOT LIKE", "*", "*"},
};

QString doubled(QString s, QChar quote)
{
    s.replace(quote, QString(2, quote));
    return s;
}

// "[E] = 'name' OR [E] = 'name2' ..."; a quote inside a name is doubled so the
// name stays one string literal.
QString individualsTerm(const IndividualList& list, const QString& field)
{
    QString t;
    for (const VTIndividual& i : list) {
        if (!t.isEmpty())
            t += QLatin1String(" OR ");
        t += '[' + field + QLatin1String("] = '") + doubled(i.Name, '\'') + '\'';
    }
    return t;
}

} // namespace

QString FilterCondition(const VTFilter& f)
{
    const QString& F = f.FieldName;
    if (f.Relation == ResText(1209))
        return QLatin1String("( IsNull([") + F + QLatin1String("]) OR LEN([") + F + QLatin1String("]) = 0 )");
    if (f.Relation == ResText(1210))
        return QLatin1String("( NOT ( IsNull([") + F + QLatin1String("]) OR LEN([") + F +
               QLatin1String("]) = 0 ) )");
    for (const Relation& r : kRelations) {
        if (f.Relation != ResText(r.id))
            continue;
        const bool text = f.FieldType == 10 || f.FieldType == 12;
        const QString value = f.Value.value_or(QString());
        // Text values are one double-quoted literal (an inner quote doubled);
        // other values are SQL as typed.
        QString operand = QLatin1String(r.before) + (text ? doubled(value, '"') : value) + QLatin1String(r.after);
        if (text)
            operand = '"' + operand + '"';
        return QLatin1String("( [") + F + QLatin1String("] ") + QLatin1String(r.op) + ' ' + operand +
               QLatin1String(" )");
    }
    // A relation this program does not know (only from an edited file) selects nothing.
    return QStringLiteral("( 1 = 0 )");
}

QString GetCriteria(const VTMailList& list, const QString& emailField)
{
    QString P;
    for (const VTFilter& f : list.Filters) {
        if (!P.isEmpty())
            P += ' ' + f.PrevOp + ' ';
        P += FilterCondition(f);
    }
    QString R = P.isEmpty() ? QString() : QLatin1String("( ") + P + QLatin1String(" )");
    if (emailField.isEmpty())
        return R;
    const QString I = individualsTerm(list.Inclusions, emailField);
    if (!I.isEmpty())
        R = R.isEmpty() ? QLatin1String("( ") + I + QLatin1String(" )") : R + QLatin1String(" OR ( ") + I + QLatin1String(" )");
    const QString X = individualsTerm(list.Exclusions, emailField);
    if (X.isEmpty())
        return R;
    if (R.isEmpty())
        return QString();
    return QLatin1String("( ") + R + QLatin1String(" ) AND NOT ( ") + X + QLatin1String(" )");
}

} // namespace vt
