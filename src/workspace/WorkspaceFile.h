#pragma once
#include <QString>
#include <functional>

namespace vt {

class Workspace;
class ProfileFile;

// Attaches one database to the workspace (creating its Database node and the
// nodes of its tables and queries); throws VtError when it cannot.
using AttachDatabaseFn =
    std::function<void(const QString& name, bool readOnly, const QString& connect, bool odbc)>;

// Writes the whole workspace into file, replacing it. Returns false and sets
// error when the file cannot be written; the old file is then left as it was.
bool SaveWorkspace(const Workspace& ws, const QString& file, QString* error = nullptr);
// The workspace as profile text, as SaveWorkspace writes it.
void WriteWorkspace(const Workspace& ws, ProfileFile& out);

// Adds the contents of file to ws (which the caller has emptied): the Outbox
// node first, then every database through attach, with its tables' settings,
// mail lists, messages and attachments. A database that cannot be attached is
// reported with ShowError and left out. A missing file gives the Outbox alone.
void LoadWorkspace(Workspace& ws, const QString& file, const AttachDatabaseFn& attach);
void ReadWorkspace(Workspace& ws, const ProfileFile& in, const AttachDatabaseFn& attach);

// Message body pieces: lines cut at 128 characters, "..CrLf.." after a line
// that more text follows.
QStringList SplitMessageBody(const QString& body);
QString JoinMessageBody(const QStringList& pieces, const QString& version);

} // namespace vt
