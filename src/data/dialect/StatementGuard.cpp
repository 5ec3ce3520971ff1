#include "data/dialect/StatementGuard.h"

namespace nbk::data {

namespace {

bool between(QChar c, char lo, char hi) { return c.unicode() >= uchar(lo) && c.unicode() <= uchar(hi); }
bool digit(QChar c) { return between(c, '0', '9'); }
// every character beyond ASCII is a letter to PostgreSQL's lexer
bool identStart(QChar c) { return between(c, 'a', 'z') || between(c, 'A', 'Z') || c == u'_' || c.unicode() >= 0x80; }
bool identCont(QChar c) { return identStart(c) || digit(c) || c == u'$'; }
bool horizontalSpace(QChar c) { return c == u' ' || c == u'\t' || c == u'\f'; }
bool newline(QChar c) { return c == u'\n' || c == u'\r'; }
bool space(QChar c) { return horizontalSpace(c) || newline(c); }

// One reading of a text, token by token as the server's lexer takes it.
class Lexer {
public:
    Lexer(const QString &s, bool plainEscapes) : s_(s), n_(int(s.size())), plainEscapes_(plainEscapes) {}

    bool moreThanOneStatement() const
    {
        bool ended = false;
        for (int i = 0; i < n_;) {
            const QChar c = s_[i];
            bool token = true;  // part of a statement, not blank or comment
            int next;
            if (c == u';') {
                ended = true;
                ++i;
                continue;
            }
            if (space(c)) {
                token = false;
                next = i + 1;
            } else if (at(i, "--")) {
                token = false;
                next = endOfLine(i);
            } else if (at(i, "/*")) {
                token = false;
                next = afterBlockComment(i);
            } else if (c == u'\'') {
                next = afterQuoted(i, plainEscapes_, true);
            } else if (c == u'"') {
                next = afterQuoted(i, false, true);
            } else if (c == u'$') {
                next = afterDollar(i);
            } else if (identStart(c)) {
                next = afterWord(i);
            } else if (digit(c) || (c == u'.' && i + 1 < n_ && digit(s_[i + 1]))) {
                next = afterNumber(i);
            } else {
                next = i + 1;  // an operator or punctuation character
            }
            if (token && ended)
                return true;
            // an unterminated literal or comment: the server refuses the text, but a ";"
            // behind it is not worth the doubt
            if (next < 0)
                return s_.indexOf(u';', i) >= 0;
            i = next;
        }
        return false;
    }

private:
    bool at(int i, const char *two) const
    {
        return i + 1 < n_ && s_[i] == QLatin1Char(two[0]) && s_[i + 1] == QLatin1Char(two[1]);
    }

    // From "--" to the newline that ends the comment (a CR ends it too).
    int endOfLine(int i) const
    {
        while (i < n_ && !newline(s_[i]))
            ++i;
        return i;
    }

    // Block comments nest; -1 when one does not end.
    int afterBlockComment(int i) const
    {
        int depth = 1;
        for (int k = i + 2; k < n_;) {
            if (at(k, "/*")) {
                ++depth;
                k += 2;
            } else if (at(k, "*/")) {
                if (--depth == 0)
                    return k + 2;
                k += 2;
            } else {
                ++k;
            }
        }
        return -1;
    }

    // Past the literal or quoted name whose quote is at i; -1 when it does not end.
    // escapes: a backslash takes the next character with it; doubled: a doubled quote
    // stands for one (not in bit strings). A '...' literal goes on after blanks holding
    // a newline when another quote follows ('a'<newline>'b' is 'ab'), read as before.
    int afterQuoted(int i, bool escapes, bool doubled) const
    {
        const QChar quote = s_[i];
        int j = i + 1;
        for (;;) {
            for (;; ++j) {
                if (j >= n_)
                    return -1;
                if (escapes && s_[j] == u'\\') {
                    ++j;
                    continue;
                }
                if (s_[j] == quote) {
                    if (doubled && j + 1 < n_ && s_[j + 1] == quote) {
                        ++j;
                        continue;
                    }
                    break;
                }
            }
            ++j;
            if (quote != u'\'')
                return j;
            const int more = continuedAt(j);
            if (more < 0)
                return j;
            j = more + 1;
        }
    }

    // The quote that continues a literal ending before j, or -1: blanks or comments, a
    // newline, then blanks, newlines or whole comment lines.
    int continuedAt(int j) const
    {
        int k = j;
        for (;;) {
            if (k < n_ && horizontalSpace(s_[k]))
                ++k;
            else if (at(k, "--"))
                k = endOfLine(k);
            else
                break;
        }
        if (k >= n_ || !newline(s_[k]))
            return -1;
        ++k;
        for (;;) {
            if (k < n_ && space(s_[k])) {
                ++k;
            } else if (at(k, "--")) {
                k = endOfLine(k);
                if (k >= n_)
                    return -1;
            } else {
                break;
            }
        }
        return k < n_ && s_[k] == u'\'' ? k : -1;
    }

    // A name or key word; one letter before a quote makes a string prefix: E'..' takes
    // backslash escapes, B'..' and X'..' are bit strings, N'..' reads as a plain literal,
    // U&'..' and U&".." read quotes only.
    int afterWord(int i) const
    {
        int j = i + 1;
        while (j < n_ && identCont(s_[j]))
            ++j;
        if (j != i + 1 || j >= n_)
            return j;
        const QChar p = s_[i].toLower();
        if (s_[j] == u'\'') {
            if (p == u'e')
                return afterQuoted(j, true, true);
            if (p == u'b' || p == u'x')
                return afterQuoted(j, false, false);
            if (p == u'n')
                return afterQuoted(j, plainEscapes_, true);
        }
        if (p == u'u' && s_[j] == u'&' && j + 1 < n_ && (s_[j + 1] == u'\'' || s_[j + 1] == u'"'))
            return afterQuoted(j + 1, false, true);
        return j;
    }

    // $1 is a parameter; $$ or $tag$ opens a body that only the same tag closes.
    int afterDollar(int i) const
    {
        int j = i + 1;
        if (j < n_ && digit(s_[j])) {
            while (j < n_ && digit(s_[j]))
                ++j;
            return j;
        }
        while (j < n_ && (identStart(s_[j]) || digit(s_[j])))
            ++j;
        if (j >= n_ || s_[j] != u'$')
            return i + 1;
        const QString tag = s_.mid(i, j - i + 1);
        const int close = int(s_.indexOf(tag, j + 1));
        return close < 0 ? -1 : close + int(tag.size());
    }

    // Digits, a decimal point, an exponent only with its digits (1E'x' is 1 and E'x').
    int afterNumber(int i) const
    {
        int j = i;
        while (j < n_ && digit(s_[j]))
            ++j;
        if (j < n_ && s_[j] == u'.' && !at(j, "..")) {
            ++j;
            while (j < n_ && digit(s_[j]))
                ++j;
        }
        if (j < n_ && (s_[j] == u'e' || s_[j] == u'E')) {
            int k = j + 1;
            if (k < n_ && (s_[k] == u'+' || s_[k] == u'-'))
                ++k;
            if (k < n_ && digit(s_[k])) {
                while (k < n_ && digit(s_[k]))
                    ++k;
                j = k;
            }
        }
        return j;
    }

    const QString &s_;
    const int n_;
    const bool plainEscapes_;
};

}  // namespace

bool holdsMoreThanOneStatement(const QString &sql, const BackslashEscapes &plainStringEscapes)
{
    if (!sql.contains(u';'))
        return false;
    const bool plain = Lexer(sql, false).moreThanOneStatement();
    if (!plainStringEscapes || !sql.contains(u'\\'))
        return plain;
    const bool escaped = Lexer(sql, true).moreThanOneStatement();
    if (plain == escaped)
        return plain;
    const std::optional<bool> escapes = plainStringEscapes();
    // not known: whichever reading finds a second statement wins
    return escapes ? (*escapes ? escaped : plain) : true;
}

}  // namespace nbk::data
