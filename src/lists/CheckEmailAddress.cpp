#include "CheckEmailAddress.h"

namespace vt {

bool CheckEmailAddress(const QString& a)
{
    constexpr qsizetype kMaxPart = 32767;
    const qsizetype at = a.indexOf('@');
    if (at <= 0 || at > kMaxPart)
        return false;
    const QStringView local = QStringView(a).left(at);
    const QStringView domain = QStringView(a).mid(at + 1);
    if (domain.isEmpty() || domain.size() > kMaxPart)
        return false;
    if (local.contains(u".."))
        return false;
    static const QString refused = QStringLiteral("()<>[]\\,;:@\"");
    for (QChar c : local) {
        const char16_t u = c.unicode();
        if (u < 33 || u > 126 || refused.contains(c))
            return false;
    }
    if (domain.endsWith(u'.') || domain.endsWith(u'-') || domain.contains(u"..") || domain.contains(u"-."))
        return false;
    for (QChar c : domain) {
        const char16_t u = c.unicode();
        const bool ok = (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == '.' ||
                        u == '-';
        if (!ok)
            return false;
    }
    return true;
}

} // namespace vt
