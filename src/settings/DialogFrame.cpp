#include "DialogFrame.h"

#include <QDialog>
#include <QLayout>

namespace vt {

void SetFixedDialogFrame(QDialog* dialog)
{
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                           | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
}

void FixDialogSize(QDialog* dialog, int widthTwips, int heightTwips)
{
    const double pxPerTwip = dialog->logicalDpiX() / 1440.0;
    int w = int(widthTwips * pxPerTwip + 0.5);
    int h = int(heightTwips * (dialog->logicalDpiY() / 1440.0) + 0.5);
    if (QLayout* l = dialog->layout()) {
        l->activate();
        w = qMax(w, l->totalSizeHint().width());
        h = qMax(h, l->hasHeightForWidth() ? l->totalHeightForWidth(w) : l->totalSizeHint().height());
    }
    dialog->setFixedSize(w, h);
}

} // namespace vt
