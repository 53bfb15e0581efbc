#pragma once
#include <QString>

namespace vt {

// Whole-text match of pattern against text: "?" one character, "*" any run,
// "#" one digit, "[abc]" / "[a-z]" one character of the list, "[!...]" one
// character not in it. Characters compare by code (case-sensitive), unless
// caseInsensitive is set.
bool WildcardMatch(const QString& text, const QString& pattern, bool caseInsensitive = false);

// True when at least one file matches path, whose last component may hold the
// wildcards "*" and "?". Any failure counts as false.
bool FileExists(const QString& path);

} // namespace vt
