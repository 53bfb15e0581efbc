#pragma once
// Shared helpers of the tests: a temporary program directory with the
// program's data files, and an isolated settings file.
#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace vttest {

// A fresh program directory for one test: AppFilePath points into it, the
// settings store is a file inside it, and (with withData) the built data
// files (Documents/, Templates/) are copied in. Restores both when destroyed.
class ProgramDir {
public:
    explicit ProgramDir(bool withData = false);
    ~ProgramDir();
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.path() + '/' + name; }

private:
    QTemporaryDir m_dir;
};

// The source tree (for fixtures) and the built program directory.
QString sourceDir();
QString builtProgramDir();

// Copies a file, creating the target's folder; false on failure.
bool copyFile(const QString& from, const QString& to);
QByteArray readAll(const QString& path);
bool writeAll(const QString& path, const QByteArray& bytes);

} // namespace vttest
