#pragma once
#include <QString>

namespace vt {

class frmSendSMTP;
class Workspace;
class VTDatabase;
class VTMailList;
class VTMessage;
class VTTable;

// Generates the selected message (a Message node) into the Outbox: one file
// per member of its mail list. Reports problems itself and then closes the
// send window; rows without an address go to the window's error log.
void CreateMessages(const Workspace& ws, frmSendSMTP& win);

void GenerateOutboxFiles(frmSendSMTP& win, const QString& databaseName, const VTMailList& list,
                         const VTDatabase& db, const VTTable& table, const VTMessage& msg);

} // namespace vt
