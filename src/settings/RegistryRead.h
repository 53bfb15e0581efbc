#pragma once
#include "platform/Registry.h"

#include <QString>
#include <optional>

namespace vt {

// Longest text a registry read of the mail settings takes: the readers use a
// buffer of 255 characters with its terminating zero, and a longer value does
// not fit, so the read fails.
constexpr int kRegistryTextMax = 254;

// A string value of key as the mail settings readers take it: nullopt when the
// key is not open, the value is missing, not text or too long.
std::optional<QString> ReadRegistryText(const RegistryKey& key, const QString& name);

} // namespace vt
