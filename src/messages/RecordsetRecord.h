#pragma once
#include "MailMerge.h"
#include "db/engine/Recordset.h"

namespace vt {

// The current row of an engine record set as the merge sees it.
class RecordsetRecord : public MergeRecord {
public:
    explicit RecordsetRecord(db::Recordset& rs) : m_rs(rs) {}
    bool hasField(const QString& name) const override { return m_rs.Fields().find(name) != nullptr; }
    QString fieldText(const QString& name) const override;

private:
    db::Recordset& m_rs;
};

} // namespace vt
