#include "Startup.h"

#include "frmMain.h"

#include <QApplication>

namespace vt {

int RunProgram(QApplication& app)
{
    frmMain main;
    main.load();
    main.show();
    return app.exec();
}

} // namespace vt
