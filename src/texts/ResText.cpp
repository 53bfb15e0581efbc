#include "ResText.h"

#include "TextTable.h"

namespace vt {

QString ResText(int id)
{
    const QString* t = TextTableLookup(id);
    return t ? *t : QString();
}

std::optional<QString> ResText(const QString& text)
{
    bool ok = false;
    const int id = text.trimmed().toInt(&ok);
    if (!ok || id <= 0)
        return std::nullopt;
    return ResText(id);
}

} // namespace vt
