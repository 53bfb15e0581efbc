#include "Startup.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Veltrana"));
    QApplication::setOrganizationName(QStringLiteral("Veltrana"));
    QApplication::setApplicationVersion(QStringLiteral(VT_VERSION));
    return vt::RunProgram(app);
}
