#pragma once
#include <QByteArray>
#include <QString>

namespace vt {

// The text between the first "<" and the first ">" when both are present and
// "<" comes first; otherwise the text unchanged.
QString StripAngleAddress(const QString& text);

// A header or command value with every CR and LF turned into a blank, so no
// contact value can end its line and start another header or command.
QString SingleLine(const QString& text);

bool IsAscii(const QString& text);

// RFC 2047 encoded words (UTF-8, base64) for a header value that is not
// ASCII; ASCII text comes back unchanged. Words are cut so that none exceeds
// 75 characters; they are joined with foldSeparator ("\r\n " folds the line).
QString EncodeHeaderText(const QString& text, const QString& foldSeparator = QStringLiteral("\r\n "));
// Decodes the encoded words of a header value (B and Q, UTF-8 and Latin-1).
QString DecodeHeaderText(const QString& text);

// Quoted-printable of UTF-8 text whose lines end in CR LF, lines at most 76
// characters with soft breaks; and back.
QString QuotedPrintable(const QString& text);
QString DecodeQuotedPrintable(const QString& text);

} // namespace vt
