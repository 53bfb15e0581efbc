#pragma once
// Codes and value conversions of the database engine: field type codes,
// record-set kinds, edit modes and object attributes, with the rules that map
// SQLite declared types to field types and back.
#include <QString>
#include <QVariant>

namespace vt::db {

// Field type codes.
enum FieldType : int {
    dbBoolean = 1,
    dbByte = 2,
    dbInteger = 3, // 16-bit
    dbLong = 4,    // 32-bit
    dbCurrency = 5,
    dbSingle = 6,
    dbDouble = 7,
    dbDate = 8,
    dbBinary = 9,
    dbText = 10,
    dbLongBinary = 11,
    dbMemo = 12,
};

// Record-set kinds for OpenRecordset.
enum RecordsetType : int {
    dbOpenTable = 1,
    dbOpenDynaset = 2,
    dbOpenSnapshot = 4,
    dbOpenForwardOnly = 8,
};

// Recordset::EditMode.
enum EditModeValue : int { dbEditNone = 0, dbEditInProgress = 1, dbEditAdd = 2 };

// DBEngine::DefaultType.
enum EngineType : int { dbUseODBC = 1, dbUseJet = 2 };

// TableDef::Attributes bits.
constexpr long dbHiddenObject = 0x1;
constexpr long dbSystemObject = long(0x80000002);
constexpr long dbAttachedTable = 0x40000000;

// The description of a field: of a record set, a table or a stored query.
struct FieldInfo {
    QString name;
    int type = dbText;
    int size = 0;
    QString sourceTable;
    QString sourceField;
};

// The field type code of an SQLite declared type ("TEXT(64)", "INTEGER",
// "DATETIME"...). An empty declared type (an expression column) is text.
int FieldTypeOfDecl(const QString& declType);
// The declared size of a text column ("TEXT(64)" gives 64), 0 when none.
int FieldSizeOfDecl(const QString& declType);
// The declared type used when creating a field of type (and size, for text),
// chosen so that FieldTypeOfDecl maps it back to the same code.
QString DeclOfFieldType(int type, int size = 0);

// A stored SQLite value as the field type presents it: flags as bool,
// numbers as int / qint64 / double, dates as QDateTime, texts as QString,
// binaries as QByteArray; NULL as a null QVariant. A stored value that does
// not fit the type is returned as it is stored.
QVariant FromStored(int type, const QVariant& stored);
// A value given by a caller converted for storing in a field of type and size
// (dates become "yyyy-MM-dd" or "yyyy-MM-dd HH:mm:ss" text, flags -1/0).
// Throws VtError ("Data type conversion error.", "Overflow.", or the field is
// too small) when the value does not fit. A null QVariant stays null.
QVariant ToStored(int type, int size, const QVariant& value);

// The text form dates are stored in: date only at midnight, else with time.
QString DateToStored(const QDateTime& dt);
// Parses a date given as text: stored form, ISO forms, m/d/yyyy, the system's
// short date form, each with an optional time. Invalid QDateTime on failure.
QDateTime ParseDateText(const QString& text);

} // namespace vt::db
