#pragma once
#include <QString>
#include <QVariant>

namespace vt {

// The current row of the member records, as the merge sees it: fields found
// by name without regard to letter case.
class MergeRecord {
public:
    virtual ~MergeRecord() = default;
    virtual bool hasField(const QString& name) const = 0;
    // The field's value as text (ValueText); empty for a missing field or null.
    virtual QString fieldText(const QString& name) const = 0;
};

// A value as the merge writes it: texts as stored, numbers in plain decimal
// form, dates in the system's short date form (with the time when it is not
// midnight), flags as "True"/"False", null as the empty text.
QString ValueText(const QVariant& v);

// Merge stops after this many substitutions, or once the text grows past
// MaxMergedLength characters: merged values are scanned again, so a value that
// reproduces its own placeholder would otherwise never end.
constexpr int MaxSubstitutions = 10000;
constexpr qsizetype MaxMergedLength = 4 * 1024 * 1024;

// Replaces every [Field] of the template by the row's value; brackets that a
// value brings in are placeholders in their turn. An opening bracket without a
// closing one ends the merge, leaving the rest as it is.
QString MergeFields(const QString& templ, const MergeRecord& row);

// Checks that the e-mail field and every placeholder of the template exist;
// shows the message for the first one that does not and returns false.
bool CheckFields(const QString& templ, const MergeRecord& row, const QString& emailField);

} // namespace vt
