#pragma once
// Rewrites the Jet SQL dialect the program builds into SQLite SQL with Jet's
// meaning kept:
//   [name] and `name`          identifiers
//   "text" and 'text'          string literals (a doubled quote is one quote)
//   LIKE / NOT LIKE            whole-value match with * ? # [a-z] [!a-z], letter
//                              case ignored; simple patterns become SQLite LIKE,
//                              the others the engine's own matcher (MATCH)
//   = <> < > <= >= on text     letter case ignored (COLLATE JETNOCASE on the
//                              literal operand, in SELECT/UPDATE/DELETE/INSERT)
//   ORDER BY                   text sorted without regard to case
//   IsNull(x), LEN(x)          (x IS NULL), LENGTH(x)
//   #1/31/2000#, True, False   '2000-01-31', -1, 0
//   SELECT ... INTO t FROM ... reported as kind SelectInto (the engine creates t)
// A text holding a second statement after ";" is refused.
#include <QString>

namespace vt::db {

// The collation and the function the SQLite connection registers for the
// rewritten text.
inline constexpr const char* kJetCollation = "JETNOCASE";

struct JetStatement {
    enum Kind { Select, SelectInto, Other };
    Kind kind = Other;
    QString sql;       // the SQLite statement; for SelectInto the SELECT without INTO
    QString intoTable; // SelectInto: the new table's name
    // Set for a SELECT over a single table without joins, grouping, DISTINCT,
    // compound parts or LIMIT, whose select list is "*" or plain column names:
    QString table;   // the table's name (unquoted); empty otherwise
    QString from;    // the rewritten FROM text (table and alias)
    QString columns; // the rewritten select list
    QString where;   // the rewritten WHERE condition; empty when none
    QString orderBy; // the rewritten ORDER BY terms; empty when none
};

// Throws VtError for a second statement, an empty text, an unterminated
// literal or an invalid date literal.
JetStatement TranslateJet(const QString& jet);
// A criterion (as FindFirst takes it) rewritten as an SQLite expression.
QString TranslateJetCondition(const QString& jet);

// Jet LIKE pattern as an SQLite LIKE pattern; false when the pattern needs the
// engine's own matcher (digits "#", lists, characters beyond ASCII). escape is
// set when the result uses "\" as its escape character.
bool JetPatternToSqliteLike(const QString& jet, QString& out, bool& escape);

// Quoting for generated SQL.
QString QuoteIdent(const QString& name);
QString QuoteText(const QString& text);

} // namespace vt::db
