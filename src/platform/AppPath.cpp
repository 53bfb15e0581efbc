#include "AppPath.h"

#include <QCoreApplication>
#include <QDir>

namespace vt {
namespace {
QString& overrideDir()
{
    static QString dir;
    return dir;
}
} // namespace

QString ProgramDir()
{
    QString dir = overrideDir().isEmpty() ? QCoreApplication::applicationDirPath() : overrideDir();
    if (!dir.endsWith('/'))
        dir += '/';
    return dir;
}

QString AppFilePath(const QString& name)
{
    QString rel = name;
    rel.replace('\\', '/');
    return ProgramDir() + rel;
}

void setProgramDir(const QString& dir)
{
    overrideDir() = dir.isEmpty() ? QString() : QDir(dir).absolutePath();
}

} // namespace vt
