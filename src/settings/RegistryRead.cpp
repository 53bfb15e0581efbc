#include "RegistryRead.h"

namespace vt {

std::optional<QString> ReadRegistryText(const RegistryKey& key, const QString& name)
{
    auto v = key.stringValue(name);
    if (!v || v->size() > kRegistryTextMax)
        return std::nullopt;
    return v;
}

} // namespace vt
