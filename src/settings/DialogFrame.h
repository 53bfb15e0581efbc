#pragma once

class QDialog;

namespace vt {

// A fixed dialog border without minimise and maximise buttons.
void SetFixedDialogFrame(QDialog* dialog);

// Fixes the dialog's size at its designed size in twips, or larger when its
// layout needs more room for the texts of this system's fonts.
void FixDialogSize(QDialog* dialog, int widthTwips, int heightTwips);

} // namespace vt
