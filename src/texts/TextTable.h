#pragma once
#include <QString>

namespace vt {
// The table text of id, or nullptr when the table has none.
const QString* TextTableLookup(int id);
} // namespace vt
