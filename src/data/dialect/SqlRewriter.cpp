#include "data/dialect/SqlRewriter.h"

namespace nbk::data {

static bool isWordStart(QChar c) { return c.isLetter() || c == QLatin1Char('_'); }
static bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$')
           || c == QLatin1Char('#');
}

std::vector<SqlToken> tokenizeSql(const QString &sql)
{
    std::vector<SqlToken> out;
    const int n = int(sql.size());
    int i = 0;
    while (i < n) {
        const QChar c = sql[i];
        int j = i + 1;
        SqlToken::Kind kind;
        if (c.isSpace()) {
            while (j < n && sql[j].isSpace())
                ++j;
            kind = SqlToken::Space;
        } else if (c == QLatin1Char('-') && j < n && sql[j] == QLatin1Char('-')) {
            while (j < n && sql[j] != QLatin1Char('\n'))
                ++j;
            kind = SqlToken::Comment;
        } else if (c == QLatin1Char('/') && j < n && sql[j] == QLatin1Char('*')) {
            const int end = int(sql.indexOf(QLatin1String("*/"), j + 1));
            j = end < 0 ? n : end + 2;
            kind = SqlToken::Comment;
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            while (j < n) {
                if (sql[j] == c) {
                    if (j + 1 < n && sql[j + 1] == c) {
                        j += 2;
                        continue;
                    }
                    ++j;
                    break;
                }
                ++j;
            }
            kind = c == QLatin1Char('\'') ? SqlToken::String : SqlToken::QuotedName;
        } else if (c.isDigit() || (c == QLatin1Char('.') && j < n && sql[j].isDigit())) {
            while (j < n && (sql[j].isDigit() || sql[j] == QLatin1Char('.')))
                ++j;
            if (j < n && (sql[j] == QLatin1Char('e') || sql[j] == QLatin1Char('E'))) {
                int k = j + 1;
                if (k < n && (sql[k] == QLatin1Char('+') || sql[k] == QLatin1Char('-')))
                    ++k;
                if (k < n && sql[k].isDigit()) {
                    j = k;
                    while (j < n && sql[j].isDigit())
                        ++j;
                }
            }
            kind = SqlToken::Number;
        } else if (isWordStart(c)) {
            while (j < n && isWordChar(sql[j]))
                ++j;
            kind = SqlToken::Word;
        } else if (c == QLatin1Char('?')) {
            kind = SqlToken::Param;
        } else {
            static const QStringList twoChar = {"<=", ">=", "<>", "!=", "||", "::"};
            if (j < n && twoChar.contains(sql.mid(i, 2)))
                ++j;
            kind = SqlToken::Symbol;
        }
        out.push_back({kind, sql.mid(i, j - i)});
        i = j;
    }
    return out;
}

namespace {
bool significant(const SqlToken &t) { return t.kind != SqlToken::Space && t.kind != SqlToken::Comment; }

int nextSig(const std::vector<SqlToken> &t, int i)
{
    for (int k = i + 1; k < int(t.size()); ++k)
        if (significant(t[k]))
            return k;
    return -1;
}

int prevSig(const std::vector<SqlToken> &t, int i)
{
    for (int k = i - 1; k >= 0; --k)
        if (significant(t[k]))
            return k;
    return -1;
}

bool isIntegerLiteral(const SqlToken &t)
{
    if (t.kind != SqlToken::Number)
        return false;
    for (QChar c : t.text)
        if (!c.isDigit())
            return false;
    return true;
}
}  // namespace

namespace {

// The divisor after the '/' at `slash`: a parenthesised expression, a (dotted) name with an
// optional call, or a literal, after any signs. `fn` goes around it unless it is a
// non-zero literal.
void wrapDivisor(std::vector<SqlToken> &t, int slash, const QString &fn)
{
    int first = nextSig(t, slash);
    if (first < 0)
        return;
    int k = first;
    while (k >= 0 && (t[k].isSymbol("-") || t[k].isSymbol("+")))
        k = nextSig(t, k);
    if (k < 0)
        return;
    int last = k;
    const auto closeOf = [&](int open) {
        int depth = 0;
        for (int m = open; m < int(t.size()); ++m) {
            if (t[m].isSymbol("("))
                ++depth;
            else if (t[m].isSymbol(")") && --depth == 0)
                return m;
        }
        return -1;
    };
    if (t[k].isSymbol("(")) {
        last = closeOf(k);
    } else if (isIntegerLiteral(t[k]) || t[k].kind == SqlToken::Number) {
        if (t[k].text.toDouble() != 0 && k == first)
            return;
    } else if (t[k].kind == SqlToken::Word) {
        int m = nextSig(t, k);
        while (m >= 0 && t[m].isSymbol(".")) {
            const int w = nextSig(t, m);
            if (w < 0)
                break;
            last = w;
            m = nextSig(t, w);
        }
        if (m >= 0 && t[m].isSymbol("("))
            last = closeOf(m);
    } else {
        return;
    }
    if (last < 0)
        return;
    t[first].text.prepend(fn + QLatin1Char('('));
    t[last].text.append(QLatin1Char(')'));
}

}  // namespace

RewriteResult rewriteOracleSql(const QString &sql, const OracleRewriteRules &rules,
                               bool keepForUpdate)
{
    std::vector<SqlToken> t = tokenizeSql(sql);
    RewriteResult result;
    const int n = int(t.size());

    // A trailing FOR UPDATE NOWAIT.
    {
        int last = n;
        int k3 = prevSig(t, last);
        int k2 = k3 >= 0 ? prevSig(t, k3) : -1;
        int k1 = k2 >= 0 ? prevSig(t, k2) : -1;
        if (k3 >= 0 && t[k3].isSymbol(";")) {
            k3 = k2;
            k2 = k1;
            k1 = k1 >= 0 ? prevSig(t, k1) : -1;
        }
        if (k1 >= 0 && t[k1].isWord("FOR") && t[k2].isWord("UPDATE") && t[k3].isWord("NOWAIT")) {
            result.forUpdateNowait = true;
            if (!keepForUpdate)
                for (int k = k1; k <= k3; ++k)
                    t[k].text.clear();
        }
    }

    // LOCK TABLE t IN ... MODE: there IN names the lock mode, not a list
    const int head = nextSig(t, -1);
    const bool lockStatement = head >= 0 && t[head].isWord("LOCK");
    for (int i = 0; i < n; ++i) {
        SqlToken &tok = t[i];
        if (tok.kind == SqlToken::Word) {
            const int nx = nextSig(t, i);
            if (tok.isWord("DELETE") && nx >= 0 && !t[nx].isWord("FROM")
                && (t[nx].kind == SqlToken::Word || t[nx].kind == SqlToken::QuotedName)) {
                tok.text += QLatin1String(" FROM");
            } else if (tok.isWord("IN") && !lockStatement && nx >= 0
                       && (t[nx].kind == SqlToken::Word || t[nx].kind == SqlToken::QuotedName)
                       && !t[nx].isWord("SELECT")) {
                // x IN alias.column (or a bare column): parenthesise the operand
                int end = nx;
                int dot = nextSig(t, end);
                while (dot >= 0 && t[dot].isSymbol(".")) {
                    const int part = nextSig(t, dot);
                    if (part < 0)
                        break;
                    end = part;
                    dot = nextSig(t, end);
                }
                t[nx].text.prepend(QLatin1Char('('));
                t[end].text.append(QLatin1Char(')'));
            } else if (tok.isWord("SYSDATE") && !rules.sysdate.isEmpty()) {
                const int pv = prevSig(t, i);
                if (pv < 0 || !t[pv].isSymbol("."))
                    tok.text = rules.sysdate;
            } else if (rules.nextval && nx >= 0 && t[nx].isSymbol(".")) {
                const int seqWord = nextSig(t, nx);
                if (seqWord >= 0 && t[seqWord].isWord("NEXTVAL")) {
                    QString call = rules.nextval(tok.text);
                    const int after = nextSig(t, seqWord);
                    if (after >= 0 && t[after].isWord("FROM"))
                        call += QLatin1String(" AS ") + rules.nextvalAlias;
                    tok.text = call;
                    for (int k = i + 1; k <= seqWord; ++k)
                        t[k].text.clear();
                    i = seqWord;
                }
            }
        } else if (rules.realDivision && tok.isSymbol("/")) {
            int nx = nextSig(t, i);
            while (nx >= 0 && t[nx].isSymbol("("))
                nx = nextSig(t, nx);
            if (nx >= 0 && isIntegerLiteral(t[nx]))
                t[nx].text += QLatin1String(".0");
            int pv = prevSig(t, i);
            while (pv >= 0 && t[pv].isSymbol(")"))
                pv = prevSig(t, pv);
            if (pv >= 0 && isIntegerLiteral(t[pv]))
                t[pv].text += QLatin1String(".0");
            if (!rules.checkedDivisor.isEmpty())
                wrapDivisor(t, i, rules.checkedDivisor);
        }
    }

    QString out;
    out.reserve(sql.size() + 32);
    for (const SqlToken &tok : t)
        out += tok.text;
    result.sql = out;
    return result;
}

}  // namespace nbk::data
