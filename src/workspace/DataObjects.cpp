#include "DataObjects.h"

#include "platform/Settings.h"
#include "texts/ResText.h"

namespace vt {

void IndividualList::append(const QString& name)
{
    m_items.push_back({name});
    m_index.insert(name.toCaseFolded(), std::prev(m_items.end()));
}

void IndividualList::remove(const QString& name)
{
    auto it = m_index.find(name.toCaseFolded());
    if (it == m_index.end())
        return;
    m_items.erase(*it);
    m_index.erase(it);
}

void IndividualList::clear()
{
    m_items.clear();
    m_index.clear();
}

void VTMailList::RemoveStatus(const QString& name)
{
    if (name.isEmpty())
        return;
    Inclusions.remove(name);
    Exclusions.remove(name);
}

void VTMailList::AddInclusion(const QString& name)
{
    if (name.isEmpty())
        return;
    RemoveStatus(name);
    Inclusions.append(name);
}

void VTMailList::AddExclusion(const QString& name)
{
    if (name.isEmpty())
        return;
    RemoveStatus(name);
    Exclusions.append(name);
}

bool VTMailList::IsInclusion(const QString& name) const { return !name.isEmpty() && Inclusions.contains(name); }

bool VTMailList::IsExclusion(const QString& name) const { return !name.isEmpty() && Exclusions.contains(name); }

void VTMailList::AddDefaultFilter(const QString& emailField)
{
    const bool on = GetSetting(QStringLiteral("General"), QStringLiteral("DefaultFilter"), QStringLiteral("True"))
                        .compare(QLatin1String("False"), Qt::CaseInsensitive) != 0;
    if (!on || emailField.isEmpty())
        return;
    VTFilter f;
    f.PrevOp = ResText(1211);
    f.FieldName = emailField;
    f.FieldType = 10;
    f.Relation = ResText(1210);
    // The default row's value is never set: it is left out of the workspace file.
    Filters.push_back(f);
}

} // namespace vt
