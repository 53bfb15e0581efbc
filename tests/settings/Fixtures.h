#pragma once
// Fixture files in the real formats of other mail programs, written into a
// temporary folder that discovery takes as the user's home (and Wine prefix).
#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QTemporaryDir>

namespace vttest {

// A temporary home folder: the mail sources root for as long as it lives.
class SourcesHome {
public:
    SourcesHome();
    ~SourcesHome();
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.path() + '/' + name; }
    QString prefix() const { return file(QStringLiteral(".wine")); }
    // Writes a file below the home folder, creating its folders.
    void write(const QString& name, const QByteArray& bytes) const;

private:
    QTemporaryDir m_dir;
};

// One key of a Wine registry file with string values ("" is the default).
struct RegKey {
    QString path;
    QList<QPair<QString, QString>> values;
};

// The text of a Wine registry file holding keys, written as Wine writes it:
// the signature, key headers with a time, doubled backslashes, escaped quotes.
QByteArray wineRegistry(const QList<RegKey>& keys);

// Wine's escaping of a string (backslash, quote, non-ASCII as \x).
QString wineEscape(const QString& s);

} // namespace vttest
