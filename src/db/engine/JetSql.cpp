#include "JetSql.h"

#include "Messages.h"
#include "Types.h"
#include "platform/Error.h"

#include <QDateTime>
#include <vector>

namespace vt::db {

namespace {

struct Tok {
    enum T { Word, Ident, Str, Num, Date, Op, LParen, RParen, Comma, Semi, Dot };
    T type;
    QString text; // raw text; for Ident, Str and Date the content without delimiters
    bool space = false; // whitespace before the token
    int depth = 0;      // parenthesis depth at the token
};

bool isWordStart(QChar c) { return c.isLetter() || c == '_'; }
bool isWordChar(QChar c) { return c.isLetterOrNumber() || c == '_'; }

std::vector<Tok> tokenize(const QString& s)
{
    std::vector<Tok> out;
    int depth = 0;
    qsizetype i = 0;
    const qsizetype n = s.size();
    bool space = false;
    auto push = [&](Tok::T t, QString text) {
        out.push_back(Tok{t, std::move(text), space, depth});
        space = false;
    };
    while (i < n) {
        const QChar c = s[i];
        if (c.isSpace()) {
            space = true;
            ++i;
            continue;
        }
        if (c == '\'' || c == '"') {
            QString v;
            qsizetype j = i + 1;
            for (;;) {
                if (j >= n)
                    throw VtError(msg::Unterminated(QStringLiteral("text literal")));
                if (s[j] == c) {
                    if (j + 1 < n && s[j + 1] == c) {
                        v += c;
                        j += 2;
                        continue;
                    }
                    break;
                }
                v += s[j++];
            }
            push(Tok::Str, v);
            i = j + 1;
            continue;
        }
        if (c == '[' || c == '`') {
            const QChar close = c == '[' ? QChar(']') : QChar('`');
            const qsizetype j = s.indexOf(close, i + 1);
            if (j < 0)
                throw VtError(msg::Unterminated(QStringLiteral("name in brackets")));
            push(Tok::Ident, s.mid(i + 1, j - i - 1));
            i = j + 1;
            continue;
        }
        if (c == '#') {
            const qsizetype j = s.indexOf('#', i + 1);
            if (j < 0)
                throw VtError(msg::BadDate(s.mid(i)));
            push(Tok::Date, s.mid(i + 1, j - i - 1));
            i = j + 1;
            continue;
        }
        if (c.isDigit() || (c == '.' && i + 1 < n && s[i + 1].isDigit())) {
            qsizetype j = i;
            while (j < n && (s[j].isDigit() || s[j] == '.'))
                ++j;
            if (j < n && (s[j] == 'e' || s[j] == 'E')) {
                qsizetype k = j + 1;
                if (k < n && (s[k] == '+' || s[k] == '-'))
                    ++k;
                if (k < n && s[k].isDigit()) {
                    j = k;
                    while (j < n && s[j].isDigit())
                        ++j;
                }
            }
            push(Tok::Num, s.mid(i, j - i));
            i = j;
            continue;
        }
        if (isWordStart(c)) {
            qsizetype j = i;
            while (j < n && isWordChar(s[j]))
                ++j;
            push(Tok::Word, s.mid(i, j - i));
            i = j;
            continue;
        }
        switch (c.unicode()) {
        case '(':
            push(Tok::LParen, QStringLiteral("("));
            ++depth;
            ++i;
            continue;
        case ')':
            --depth;
            push(Tok::RParen, QStringLiteral(")"));
            ++i;
            continue;
        case ',': push(Tok::Comma, QStringLiteral(",")); ++i; continue;
        case ';': push(Tok::Semi, QStringLiteral(";")); ++i; continue;
        case '.': push(Tok::Dot, QStringLiteral(".")); ++i; continue;
        default: break;
        }
        // Operators: the two-character comparisons stay together; everything
        // else is one character, so that "--" and "/*" never form comments.
        const QString two = s.mid(i, 2);
        if (two == "<>" || two == "<=" || two == ">=" || two == "!=" || two == "==" || two == "||") {
            push(Tok::Op, two);
            i += 2;
        } else {
            push(Tok::Op, QString(c));
            ++i;
        }
    }
    return out;
}

bool isWord(const Tok& t, const char* w) { return t.type == Tok::Word && t.text.compare(QLatin1String(w), Qt::CaseInsensitive) == 0; }
bool isCmp(const Tok& t)
{
    return t.type == Tok::Op
        && (t.text == "=" || t.text == "<>" || t.text == "<" || t.text == ">" || t.text == "<=" || t.text == ">="
            || t.text == "!=" || t.text == "==");
}

// Drops trailing ";" and refuses any other ";".
void checkOneStatement(std::vector<Tok>& toks)
{
    while (!toks.empty() && toks.back().type == Tok::Semi)
        toks.pop_back();
    for (const Tok& t : toks)
        if (t.type == Tok::Semi)
            throw VtError(msg::SecondStatement());
}

class Rewriter {
public:
    Rewriter(const std::vector<Tok>& t, bool dml) : m_t(t), m_dml(dml) {}

    QString rewrite(size_t b, size_t e) const
    {
        Out out;
        for (size_t i = b; i < e;) {
            const Tok& t = m_t[i];
            if (isWord(t, "ORDER") && i + 1 < e && isWord(m_t[i + 1], "BY")) {
                out.put(QStringLiteral("ORDER BY"), t.space);
                const size_t end = clauseEnd(i + 2, e);
                out.put(orderTerms(i + 2, end), true);
                i = end;
                continue;
            }
            if (isWord(t, "IsNull") && i + 1 < e && m_t[i + 1].type == Tok::LParen) {
                const size_t close = matching(i + 1, e);
                out.put("((" + rewrite(i + 2, close) + ") IS NULL)", t.space);
                i = close + 1;
                continue;
            }
            if (isWord(t, "LIKE")) {
                if (i + 1 < e && m_t[i + 1].type == Tok::Str) {
                    QString pat;
                    bool esc = false;
                    if (JetPatternToSqliteLike(m_t[i + 1].text, pat, esc))
                        out.put("LIKE " + QuoteText(pat) + (esc ? QStringLiteral(" ESCAPE '\\'") : QString()), t.space);
                    else
                        out.put("MATCH " + QuoteText(m_t[i + 1].text), t.space);
                    i += 2;
                } else {
                    out.put(QStringLiteral("MATCH"), t.space);
                    ++i;
                }
                continue;
            }
            out.put(token(i, b, e), t.space);
            ++i;
        }
        return out.s;
    }

    // The end of a clause starting at b: the next ")" closing its level, a
    // LIMIT/OFFSET/compound word on its level, or e.
    size_t clauseEnd(size_t b, size_t e) const
    {
        if (b >= e)
            return e;
        const int d = m_t[b].depth;
        for (size_t i = b; i < e; ++i) {
            const Tok& t = m_t[i];
            if (t.type == Tok::RParen && t.depth < d)
                return i;
            if (t.depth == d
                && (isWord(t, "LIMIT") || isWord(t, "OFFSET") || isWord(t, "UNION") || isWord(t, "INTERSECT")
                    || isWord(t, "EXCEPT")))
                return i;
        }
        return e;
    }

    size_t matching(size_t open, size_t e) const
    {
        const int d = m_t[open].depth;
        for (size_t i = open + 1; i < e; ++i)
            if (m_t[i].type == Tok::RParen && m_t[i].depth == d)
                return i;
        throw VtError(msg::Unterminated(QStringLiteral("parenthesis")));
    }

    // ORDER BY terms: each text term sorted without regard to case.
    QString orderTerms(size_t b, size_t e) const
    {
        QString s;
        const int d = b < e ? m_t[b].depth : 0;
        size_t start = b;
        auto term = [&](size_t tb, size_t te) {
            size_t body = te;
            QString dir;
            if (te > tb && (isWord(m_t[te - 1], "ASC") || isWord(m_t[te - 1], "DESC"))) {
                body = te - 1;
                dir = ' ' + m_t[te - 1].text.toUpper();
            }
            QString t = rewrite(tb, body);
            bool hasCollate = false;
            for (size_t i = tb; i < body; ++i)
                hasCollate = hasCollate || isWord(m_t[i], "COLLATE");
            const bool position = body == tb + 1 && m_t[tb].type == Tok::Num; // ORDER BY 2
            if (!hasCollate && !position && body > tb)
                t += QStringLiteral(" COLLATE ") + QLatin1String(kJetCollation);
            if (!s.isEmpty())
                s += QStringLiteral(", ");
            s += t + dir;
        };
        for (size_t i = b; i < e; ++i) {
            if (m_t[i].type == Tok::Comma && m_t[i].depth == d) {
                term(start, i);
                start = i + 1;
            }
        }
        term(start, e);
        return s;
    }

private:
    struct Out {
        QString s;
        void put(const QString& piece, bool space)
        {
            if (piece.isEmpty())
                return;
            if (!s.isEmpty()) {
                const QChar last = s.back();
                const QChar first = piece.front();
                const bool comment = (last == '-' && first == '-') || (last == '/' && first == '*');
                const bool glue = isWordChar(last) && isWordChar(first);
                if ((space || comment || glue) && !last.isSpace())
                    s += ' ';
            }
            s += piece;
        }
    };

    QString token(size_t i, size_t b, size_t e) const
    {
        const Tok& t = m_t[i];
        switch (t.type) {
        case Tok::Str: {
            QString s = QuoteText(t.text);
            const bool cmp = (i > b && isCmp(m_t[i - 1])) || (i + 1 < e && isCmp(m_t[i + 1]));
            if (m_dml && cmp)
                s += QStringLiteral(" COLLATE ") + QLatin1String(kJetCollation);
            return s;
        }
        case Tok::Ident: return QuoteIdent(t.text);
        case Tok::Date: {
            const QDateTime dt = ParseDateText(t.text);
            if (!dt.isValid())
                throw VtError(msg::BadDate('#' + t.text + '#'));
            return QuoteText(DateToStored(dt));
        }
        case Tok::Word: {
            const bool call = i + 1 < e && m_t[i + 1].type == Tok::LParen;
            const bool member = i > b && m_t[i - 1].type == Tok::Dot;
            if (!member && !call && isWord(t, "True"))
                return QStringLiteral("-1");
            if (!member && !call && isWord(t, "False"))
                return QStringLiteral("0");
            if (call && isWord(t, "LEN"))
                return QStringLiteral("LENGTH");
            return t.text;
        }
        default: return t.text;
        }
    }

    const std::vector<Tok>& m_t;
    bool m_dml;
};

QString identName(const Tok& t) { return t.text; }

bool isNameTok(const Tok& t) { return t.type == Tok::Ident || t.type == Tok::Word; }

// The select list is "*" or plain (optionally qualified) column names.
bool plainColumns(const std::vector<Tok>& t, size_t b, size_t e)
{
    if (b >= e)
        return false;
    size_t i = b;
    for (;;) {
        if (i < e && t[i].type == Tok::Op && t[i].text == "*") {
            ++i;
        } else if (i < e && isNameTok(t[i])) {
            ++i;
            if (i + 1 < e && t[i].type == Tok::Dot) {
                if (t[i + 1].type == Tok::Op && t[i + 1].text == "*")
                    i += 2;
                else if (isNameTok(t[i + 1]))
                    i += 2;
                else
                    return false;
            }
        } else {
            return false;
        }
        if (i == e)
            return true;
        if (t[i].type != Tok::Comma)
            return false;
        ++i;
    }
}

} // namespace

QString QuoteIdent(const QString& name)
{
    if (!name.contains(']'))
        return '[' + name + ']';
    QString n = name;
    n.replace('"', QStringLiteral("\"\""));
    return '"' + n + '"';
}

QString QuoteText(const QString& text)
{
    QString t = text;
    t.replace('\'', QStringLiteral("''"));
    return '\'' + t + '\'';
}

bool JetPatternToSqliteLike(const QString& jet, QString& out, bool& escape)
{
    out.clear();
    escape = false;
    for (qsizetype i = 0; i < jet.size(); ++i) {
        const QChar c = jet[i];
        if (c.unicode() >= 128)
            return false;
        switch (c.unicode()) {
        case '*': out += '%'; break;
        case '?': out += '_'; break;
        case '#': return false;
        case '[':
            // A one-character list ([*], [?], [#], [[]) stands for that character.
            if (i + 2 < jet.size() && jet[i + 2] == ']' && jet[i + 1] != '!' && jet[i + 1].unicode() < 128) {
                const QChar l = jet[i + 1];
                if (l == '%' || l == '_' || l == '\\') {
                    out += '\\';
                    escape = true;
                }
                out += l;
                i += 2;
                break;
            }
            return false;
        case '%':
        case '_':
        case '\\':
            out += '\\';
            out += c;
            escape = true;
            break;
        default: out += c;
        }
    }
    return true;
}

JetStatement TranslateJet(const QString& jet)
{
    std::vector<Tok> t = tokenize(jet);
    checkOneStatement(t);
    if (t.empty())
        throw VtError(msg::EmptyStatement());
    JetStatement st;
    const bool select = isWord(t[0], "SELECT") || isWord(t[0], "WITH") || isWord(t[0], "VALUES");
    const bool dml = select || isWord(t[0], "UPDATE") || isWord(t[0], "DELETE") || isWord(t[0], "INSERT")
        || isWord(t[0], "REPLACE");
    if (isWord(t[0], "SELECT") && t.size() > 1 && isWord(t[1], "DISTINCTROW"))
        t.erase(t.begin() + 1);
    Rewriter rw(t, dml);
    if (!select) {
        st.kind = JetStatement::Other;
        st.sql = rw.rewrite(0, t.size());
        return st;
    }
    st.kind = JetStatement::Select;
    if (!isWord(t[0], "SELECT")) {
        st.sql = rw.rewrite(0, t.size());
        return st;
    }

    // Clause positions at the top level.
    const size_t none = size_t(-1);
    size_t into = none, from = none, where = none, order = none;
    bool simple = true;
    for (size_t i = 1; i < t.size(); ++i) {
        const Tok& k = t[i];
        if (k.depth != 0 || k.type != Tok::Word)
            continue;
        if (isWord(k, "INTO") && from == none && into == none)
            into = i;
        else if (isWord(k, "FROM") && from == none)
            from = i;
        else if (isWord(k, "WHERE") && where == none && from != none)
            where = i;
        else if (isWord(k, "ORDER") && i + 1 < t.size() && isWord(t[i + 1], "BY") && order == none)
            order = i;
        else if (isWord(k, "GROUP") || isWord(k, "HAVING") || isWord(k, "LIMIT") || isWord(k, "UNION")
                 || isWord(k, "INTERSECT") || isWord(k, "EXCEPT") || isWord(k, "JOIN") || isWord(k, "DISTINCT")
                 || isWord(k, "WINDOW") || isWord(k, "TOP"))
            simple = false;
    }
    std::vector<Tok> body = t;
    if (into != none) {
        if (into + 1 >= t.size() || !isNameTok(t[into + 1]))
            throw VtError(QStringLiteral("Syntax error in SELECT INTO statement."));
        st.kind = JetStatement::SelectInto;
        st.intoTable = identName(t[into + 1]);
        body.erase(body.begin() + qsizetype(into), body.begin() + qsizetype(into) + 2);
        Rewriter rb(body, true);
        st.sql = rb.rewrite(0, body.size());
        return st;
    }
    st.sql = rw.rewrite(0, t.size());
    if (!simple || from == none)
        return st;
    const size_t fromEnd = where != none ? where : (order != none ? order : t.size());
    const size_t nFrom = fromEnd - from - 1;
    // FROM table, FROM table alias, FROM table AS alias.
    bool oneTable = nFrom >= 1 && nFrom <= 3 && isNameTok(t[from + 1]);
    if (oneTable && nFrom == 2)
        oneTable = isNameTok(t[from + 2]) && !isWord(t[from + 2], "AS");
    if (oneTable && nFrom == 3)
        oneTable = isWord(t[from + 2], "AS") && isNameTok(t[from + 3]);
    for (size_t i = from + 1; oneTable && i < fromEnd; ++i)
        if (t[i].type == Tok::Word && i == from + 1 && isWord(t[i], "SELECT"))
            oneTable = false;
    if (!oneTable || !plainColumns(t, 1, from))
        return st;
    if (where != none && order != none && order < where)
        return st;
    st.table = identName(t[from + 1]);
    st.from = rw.rewrite(from + 1, fromEnd);
    st.columns = rw.rewrite(1, from);
    if (where != none)
        st.where = rw.rewrite(where + 1, order != none ? order : t.size());
    if (order != none)
        st.orderBy = rw.orderTerms(order + 2, t.size());
    return st;
}

QString TranslateJetCondition(const QString& jet)
{
    std::vector<Tok> t = tokenize(jet);
    checkOneStatement(t);
    if (t.empty())
        throw VtError(QStringLiteral("Invalid criterion: the text is empty."));
    Rewriter rw(t, true);
    return rw.rewrite(0, t.size());
}

} // namespace vt::db
