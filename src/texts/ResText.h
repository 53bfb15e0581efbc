#pragma once
#include <QString>
#include <optional>

namespace vt {

// The table text of id; empty when the table has none.
QString ResText(int id);

// The table text of a text that holds a number (blanks around it allowed)
// greater than 0; nullopt otherwise (which sets a caption to empty).
std::optional<QString> ResText(const QString& text);

// Text ids used as words by the workspace and elsewhere.
namespace txt {
constexpr int Databases = 1000, Database = 1001, Tables = 1002, Table = 1003, MailLists = 1004,
              MailList = 1005, Messages = 1006, Message = 1007, Attachments = 1008, Attachment = 1009,
              Inclusions = 1010, Inclusion = 1011, Exclusions = 1012, Exclusion = 1013, Filters = 1014,
              Filter = 1015, Queries = 1016, Query = 1017, Outbox = 1018, Count = 1050, Name = 1051,
              Field = 1100, OpenFolder = 1101, ClosedFolder = 1102;
} // namespace txt

} // namespace vt
