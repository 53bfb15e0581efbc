#include "RecordsetRecord.h"

#include "platform/Error.h"

namespace vt {

QString RecordsetRecord::fieldText(const QString& name) const
{
    const db::Field* f = m_rs.Fields().find(name);
    if (!f)
        return QString();
    try {
        return ValueText(f->Value());
    } catch (const VtError&) {
        return QString(); // no current record: nothing to merge
    }
}

} // namespace vt
