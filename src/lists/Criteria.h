#pragma once
#include <QString>

namespace vt {

class VTFilter;
class VTMailList;

// The condition of one filter row, e.g. "( [Age] > 30 )".
QString FilterCondition(const VTFilter& f);

// The mail list as one SQL condition (Jet dialect): the filter rows, OR the
// inclusions, AND NOT the exclusions; empty when it selects nobody. With an
// empty e-mail field name only the filter part is returned.
QString GetCriteria(const VTMailList& list, const QString& emailField);

} // namespace vt
