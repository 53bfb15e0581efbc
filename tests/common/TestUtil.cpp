#include "TestUtil.h"

#include "platform/AppPath.h"
#include "platform/Settings.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace vttest {

QString sourceDir()
{
#ifdef VT_SOURCE_DIR
    return QStringLiteral(VT_SOURCE_DIR);
#else
    return QString();
#endif
}

QString builtProgramDir()
{
#ifdef VT_PROGRAM_DIR
    return QStringLiteral(VT_PROGRAM_DIR);
#else
    return QString();
#endif
}

bool copyFile(const QString& from, const QString& to)
{
    QDir().mkpath(QFileInfo(to).absolutePath());
    QFile::remove(to);
    return QFile::copy(from, to) && QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner);
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeAll(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

ProgramDir::ProgramDir(bool withData)
{
    vt::setProgramDir(m_dir.path());
    vt::setSettingsFile(m_dir.path() + QStringLiteral("/settings.ini"));
    if (withData) {
        const QString src = builtProgramDir();
        for (const QString& sub : {QStringLiteral("Documents"), QStringLiteral("Templates"), QStringLiteral("Help")}) {
            QDirIterator it(src + '/' + sub, QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString f = it.next();
                copyFile(f, m_dir.path() + '/' + QDir(src).relativeFilePath(f));
            }
        }
    }
}

ProgramDir::~ProgramDir()
{
    vt::setProgramDir(QString());
    vt::setSettingsFile(QString());
}

} // namespace vttest
