#include "EudoraPath.h"

#include "RegistryRead.h"

#include "platform/Registry.h"

namespace vt {

QString EudoraWindowsPath(const QString& commandLine, const QString& fileName)
{
    const qsizetype at = commandLine.indexOf(QLatin1String("EUDORA.EXE"));
    if (at < 0)
        return {};
    QString path = commandLine.left(at) + fileName;
    qsizetype i;
    while ((i = path.indexOf(QLatin1String("\\\\"))) >= 0)
        path.remove(i, 1);
    // A command line whose program path has blanks is quoted.
    path = path.trimmed();
    if (path.startsWith(QLatin1Char('"')))
        path.remove(0, 1);
    return path;
}

QString EudoraPath(const QString& fileName)
{
    const RegistryKey key =
        OpenRegistryKey(RegistryRoot::ClassesRoot, QStringLiteral("Software\\Qualcomm\\Eudora\\CommandLine\\Current"));
    const auto commandLine = ReadRegistryText(key, QString());
    if (!commandLine)
        return {};
    const QString windowsPath = EudoraWindowsPath(*commandLine, fileName);
    return windowsPath.isEmpty() ? QString() : WinePathToUnix(windowsPath);
}

} // namespace vt
