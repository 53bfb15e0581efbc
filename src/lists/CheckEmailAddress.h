#pragma once
#include <QString>

namespace vt {

// A syntax test of one address: a local part of printable ASCII without
// blanks, "..", or any of ()<>[]\,;:@" and a domain part of letters, digits,
// "." and "-" that does not end in "." or "-" and holds no ".." or "-.".
bool CheckEmailAddress(const QString& address);

} // namespace vt
