#include "MimeText.h"

#include <QStringList>
#include <QStringDecoder>

namespace vt {

QString StripAngleAddress(const QString& text)
{
    const qsizetype lt = text.indexOf('<');
    const qsizetype gt = text.indexOf('>');
    if (lt >= 0 && gt >= 0 && lt < gt)
        return text.mid(lt + 1, gt - lt - 1);
    return text;
}

QString SingleLine(const QString& text)
{
    QString s = text;
    for (QChar& c : s)
        if (c == '\r' || c == '\n')
            c = ' ';
    return s;
}

bool IsAscii(const QString& text)
{
    for (QChar c : text)
        if (c.unicode() >= 0x80)
            return false;
    return true;
}

QString EncodeHeaderText(const QString& text, const QString& foldSeparator)
{
    if (IsAscii(text))
        return text;
    // "=?UTF-8?B?" + base64 + "?=" is at most 75 characters when a word holds
    // at most 45 bytes; words never split a character.
    QStringList words;
    QByteArray chunk;
    auto flush = [&] {
        if (!chunk.isEmpty())
            words << QStringLiteral("=?UTF-8?B?") + QString::fromLatin1(chunk.toBase64()) + QStringLiteral("?=");
        chunk.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        qsizetype n = (text[i].isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        const QByteArray bytes = text.mid(i, n).toUtf8();
        if (chunk.size() + bytes.size() > 45)
            flush();
        chunk += bytes;
        i += n - 1;
    }
    flush();
    return words.join(foldSeparator);
}

namespace {
QString decodeWord(const QString& charset, QChar enc, const QString& data, bool* ok)
{
    QByteArray bytes;
    if (enc.toUpper() == 'B') {
        auto r = QByteArray::fromBase64Encoding(data.toLatin1());
        if (!r) {
            *ok = false;
            return {};
        }
        bytes = *r;
    } else {
        const QByteArray in = data.toLatin1();
        for (qsizetype i = 0; i < in.size(); ++i) {
            if (in[i] == '_')
                bytes += ' ';
            else if (in[i] == '=' && i + 2 < in.size()) {
                bool hexOk = false;
                bytes += char(in.mid(i + 1, 2).toInt(&hexOk, 16));
                if (!hexOk) {
                    *ok = false;
                    return {};
                }
                i += 2;
            } else
                bytes += in[i];
        }
    }
    QStringDecoder dec(charset.toLatin1().constData());
    if (!dec.isValid())
        dec = QStringDecoder(QStringDecoder::Utf8);
    *ok = true;
    return dec.decode(bytes);
}
} // namespace

QString DecodeHeaderText(const QString& text)
{
    QString out;
    qsizetype pos = 0;
    bool lastWasWord = false;
    while (pos < text.size()) {
        const qsizetype start = text.indexOf(QLatin1String("=?"), pos);
        if (start < 0) {
            out += text.mid(pos);
            break;
        }
        const qsizetype q1 = text.indexOf('?', start + 2);
        const qsizetype q2 = q1 < 0 ? -1 : text.indexOf('?', q1 + 1);
        const qsizetype end = q2 < 0 ? -1 : text.indexOf(QLatin1String("?="), q2 + 1);
        if (q1 < 0 || q2 != q1 + 2 || end < 0) {
            out += text.mid(pos);
            break;
        }
        const QString between = text.mid(pos, start - pos);
        // White space between two encoded words is not part of the text.
        if (!(lastWasWord && between.trimmed().isEmpty()))
            out += between;
        bool ok = false;
        const QString decoded = decodeWord(text.mid(start + 2, q1 - start - 2), text[q1 + 1],
                                           text.mid(q2 + 1, end - q2 - 1), &ok);
        out += ok ? decoded : text.mid(start, end + 2 - start);
        pos = end + 2;
        lastWasWord = ok;
    }
    return out;
}

QString QuotedPrintable(const QString& text)
{
    static const char hex[] = "0123456789ABCDEF";
    QString out;
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    for (qsizetype l = 0; l < lines.size(); ++l) {
        const QByteArray bytes = lines[l].toUtf8();
        QString line;
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            const uchar c = uchar(bytes[i]);
            const bool last = i == bytes.size() - 1;
            QString piece;
            if ((c >= 33 && c <= 126 && c != '=') || ((c == ' ' || c == '\t') && !last))
                piece = QChar(c);
            else
                piece = QStringLiteral("=") + QChar(hex[c >> 4]) + QChar(hex[c & 15]);
            if (line.size() + piece.size() > 75) {
                out += line + QStringLiteral("=\r\n");
                line.clear();
            }
            line += piece;
        }
        out += line;
        if (l + 1 < lines.size())
            out += QStringLiteral("\r\n");
    }
    return out;
}

QString DecodeQuotedPrintable(const QString& text)
{
    const QByteArray in = text.toLatin1();
    QByteArray out;
    for (qsizetype i = 0; i < in.size(); ++i) {
        if (in[i] != '=') {
            out += in[i];
            continue;
        }
        if (i + 2 < in.size() && in[i + 1] == '\r' && in[i + 2] == '\n') {
            i += 2; // soft break
            continue;
        }
        if (i + 1 < in.size() && in[i + 1] == '\n') {
            i += 1;
            continue;
        }
        bool ok = false;
        const int v = in.mid(i + 1, 2).toInt(&ok, 16);
        if (ok && i + 2 < in.size()) {
            out += char(v);
            i += 2;
        } else {
            out += '=';
        }
    }
    return QString::fromUtf8(out);
}

} // namespace vt
