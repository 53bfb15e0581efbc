#include "Wildcard.h"

#include <QDir>
#include <QFileInfo>

namespace vt {
namespace {

QChar fold(QChar c, bool ci) { return ci ? c.toCaseFolded() : c; }

// Matches one bracket list at p (p points just past "["); sets end to the index
// after "]". Returns false for an unterminated list, which then matches "[" literally.
bool matchList(const QString& pat, qsizetype p, QChar c, bool ci, qsizetype& end, bool& hit)
{
    bool negate = false;
    if (p < pat.size() && pat[p] == '!') {
        negate = true;
        ++p;
    }
    bool found = false;
    bool first = true;
    while (p < pat.size() && (pat[p] != ']' || first)) {
        first = false;
        QChar lo = pat[p];
        if (p + 2 < pat.size() && pat[p + 1] == '-' && pat[p + 2] != ']') {
            QChar hi = pat[p + 2];
            QChar x = fold(c, ci);
            if (fold(lo, ci) <= x && x <= fold(hi, ci))
                found = true;
            p += 3;
        } else {
            if (fold(lo, ci) == fold(c, ci))
                found = true;
            ++p;
        }
    }
    if (p >= pat.size())
        return false;
    end = p + 1;
    hit = found != negate;
    return true;
}

} // namespace

bool WildcardMatch(const QString& text, const QString& pat, bool ci)
{
    // Iterative match with backtracking to the last "*": linear in practice,
    // never exponential.
    qsizetype t = 0, p = 0, starP = -1, starT = 0;
    while (t < text.size()) {
        bool advanced = false;
        if (p < pat.size()) {
            QChar pc = pat[p];
            if (pc == '*') {
                starP = ++p;
                starT = t;
                continue;
            }
            if (pc == '?') {
                ++t, ++p;
                advanced = true;
            } else if (pc == '#') {
                if (text[t].isDigit() && text[t].unicode() < 128) {
                    ++t, ++p;
                    advanced = true;
                }
            } else if (pc == '[') {
                qsizetype end;
                bool hit;
                if (matchList(pat, p + 1, text[t], ci, end, hit)) {
                    if (hit) {
                        ++t;
                        p = end;
                        advanced = true;
                    }
                } else if (text[t] == '[') {
                    ++t, ++p;
                    advanced = true;
                }
            } else if (fold(pc, ci) == fold(text[t], ci)) {
                ++t, ++p;
                advanced = true;
            }
        }
        if (advanced)
            continue;
        if (starP < 0)
            return false;
        p = starP;
        t = ++starT;
    }
    while (p < pat.size() && pat[p] == '*')
        ++p;
    return p == pat.size();
}

bool FileExists(const QString& path)
{
    if (path.isEmpty())
        return false;
    QFileInfo fi(path);
    const QString name = fi.fileName();
    if (!name.contains('*') && !name.contains('?'))
        return fi.exists() && fi.isFile();
    QDir dir = fi.absoluteDir();
    if (!dir.exists())
        return false;
    const QStringList hits = dir.entryList({name}, QDir::Files | QDir::Hidden | QDir::CaseSensitive);
    return !hits.isEmpty();
}

} // namespace vt
