#include "data/dialect/SqlRewriter.h"

#include <QRegularExpression>

namespace nbk::data {

static bool isWordStart(QChar c) { return c.isLetter() || c == QLatin1Char('_'); }
static bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$')
           || c == QLatin1Char('#');
}

// The end of a dollar-quoted body opening at `i` ($$ or $tag$, closed only by the same
// tag; unclosed, it runs to the end), as the server's lexer reads it; `i` when none opens
// there ($1 is a parameter). A dollar within a name belongs to the name.
static int dollarQuoteEnd(const QString &sql, int i)
{
    const int n = int(sql.size());
    if (sql[i] != QLatin1Char('$') || (i + 1 < n && sql[i + 1].isDigit() && sql[i + 1].unicode() < 0x80))
        return i;
    const auto tagChar = [](QChar c) {
        const char16_t u = c.unicode();
        return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_' || u >= 0x80;
    };
    int j = i + 1;
    while (j < n && tagChar(sql[j]))
        ++j;
    if (j >= n || sql[j] != QLatin1Char('$'))
        return i;
    const QString tag = sql.mid(i, j - i + 1);
    const int close = int(sql.indexOf(tag, j + 1));
    return close < 0 ? n : close + int(tag.size());
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
        } else if (const int end = dollarQuoteEnd(sql, i); end > i) {
            // read as the server reads it: nothing inside is rewritten
            j = end;
            kind = SqlToken::String;
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


namespace {

// The index of the ')' that closes the '(' at `open`, or -1.
int closingParen(const std::vector<SqlToken> &t, int open)
{
    int depth = 0;
    for (int m = open; m < int(t.size()); ++m) {
        if (t[m].isSymbol("("))
            ++depth;
        else if (t[m].isSymbol(")") && --depth == 0)
            return m;
    }
    return -1;
}

// A column reference from `first`: name(.name)*; its last token, or -1.
int columnRefEnd(const std::vector<SqlToken> &t, int first)
{
    if (first < 0 || t[first].kind != SqlToken::Word)
        return -1;
    int end = first;
    for (int dot = nextSig(t, end); dot >= 0 && t[dot].isSymbol("."); dot = nextSig(t, end)) {
        const int part = nextSig(t, dot);
        if (part < 0 || t[part].kind != SqlToken::Word)
            return -1;
        end = part;
    }
    return end;
}

QString textOf(const std::vector<SqlToken> &t, int from, int to)
{
    QString s;
    for (int k = from; k <= to; ++k)
        s += t[k].text;
    return s.trimmed();
}

void clearRange(std::vector<SqlToken> &t, int from, int to)
{
    for (int k = from; k <= to; ++k)
        t[k].text.clear();
}

// ABS (col - expr) <= n  ->  (col BETWEEN (expr) - n AND (expr) + n): the same rows, in a
// form whose range an index on col serves (the run search's date window).
bool rewriteWindow(std::vector<SqlToken> &t, int abs)
{
    const int open = nextSig(t, abs);
    if (open < 0 || !t[open].isSymbol("("))
        return false;
    const int close = closingParen(t, open);
    const int le = close < 0 ? -1 : nextSig(t, close);
    const int bound = le < 0 ? -1 : nextSig(t, le);
    if (le < 0 || !t[le].isSymbol("<=") || bound < 0 || t[bound].kind != SqlToken::Number)
        return false;
    const int col = nextSig(t, open);
    const int colEnd = columnRefEnd(t, col);
    const int minus = colEnd < 0 ? -1 : nextSig(t, colEnd);
    if (minus < 0 || !t[minus].isSymbol("-") || nextSig(t, minus) >= close)
        return false;
    // the rest up to the ')' is one operand: no operator of lower precedence at its top
    int depth = 0;
    for (int k = minus + 1; k < close; ++k) {
        if (t[k].isSymbol("("))
            ++depth;
        else if (t[k].isSymbol(")"))
            --depth;
        else if (depth == 0 && (t[k].isSymbol("+") || t[k].isSymbol("-")))
            return false;
    }
    const QString column = textOf(t, col, colEnd);
    const QString expr = textOf(t, minus + 1, close - 1);
    const QString n = t[bound].text;
    clearRange(t, abs, bound);
    t[abs].text = QStringLiteral("(%1 BETWEEN (%2) - %3 AND (%2) + %3)").arg(column, expr, n);
    return true;
}

// The one table of the statement's outer FROM (its alias if it has one), or empty.
QString outerTable(const std::vector<SqlToken> &t)
{
    int depth = 0;
    for (int k = 0; k < int(t.size()); ++k) {
        if (t[k].isSymbol("("))
            ++depth;
        else if (t[k].isSymbol(")"))
            --depth;
        else if (depth == 0 && t[k].isWord("FROM")) {
            const int table = nextSig(t, k);
            if (table < 0 || t[table].kind != SqlToken::Word)
                return QString();
            const int after = nextSig(t, table);
            if (after < 0 || t[after].isWord("WHERE"))
                return t[table].text;
            if (t[after].kind == SqlToken::Word && !t[after].isWord("GROUP") && !t[after].isWord("ORDER")) {
                const int then = nextSig(t, after);
                if (then < 0 || t[then].isWord("WHERE"))
                    return t[after].text;
            }
            return QString();
        }
    }
    return QString();
}

// col NOT IN (SELECT c FROM t)  ->  the same test through NOT EXISTS, which an index on
// t.c answers without reading every row of t (the on-demand run's unused vehicles). A NULL
// in t.c, or a NULL col, keeps NOT IN's meaning.
bool rewriteNotIn(std::vector<SqlToken> &t, int notWord, const QString &outer)
{
    const int in = nextSig(t, notWord);
    const int open = in < 0 ? -1 : nextSig(t, in);
    if (in < 0 || !t[in].isWord("IN") || open < 0 || !t[open].isSymbol("("))
        return false;
    const int sel = nextSig(t, open), c = sel < 0 ? -1 : nextSig(t, sel);
    const int from = c < 0 ? -1 : nextSig(t, c), table = from < 0 ? -1 : nextSig(t, from);
    const int close = table < 0 ? -1 : nextSig(t, table);
    if (close < 0 || !t[sel].isWord("SELECT") || t[c].kind != SqlToken::Word || !t[from].isWord("FROM")
        || t[table].kind != SqlToken::Word || !t[close].isSymbol(")"))
        return false;
    // the column before NOT: name(.name)*
    int first = prevSig(t, notWord);
    if (first < 0 || t[first].kind != SqlToken::Word)
        return false;
    for (int dot = prevSig(t, first); dot >= 0 && t[dot].isSymbol(".");) {
        const int part = prevSig(t, dot);
        if (part < 0 || t[part].kind != SqlToken::Word)
            return false;
        first = part;
        dot = prevSig(t, first);
    }
    QString column = textOf(t, first, prevSig(t, notWord));
    if (!column.contains(QLatin1Char('.'))) {
        if (outer.isEmpty())
            return false;
        column = outer + QLatin1Char('.') + column;
    }
    const QString tab = t[table].text, col = t[c].text;
    clearRange(t, first, close);
    t[first].text = QStringLiteral("(NOT EXISTS (SELECT 1 FROM %1 nbk_ni WHERE nbk_ni.%2 = %3) "
                                   "AND NOT EXISTS (SELECT 1 FROM %1 nbk_ni WHERE nbk_ni.%2 IS NULL) "
                                   "AND (%3 IS NOT NULL OR NOT EXISTS (SELECT 1 FROM %1 nbk_ni)))")
                        .arg(tab, col, column);
    return true;
}

// A parameter marker that survives the rewrite with the parameter's place in the
// statement as written, so that a parameter written twice by the rewrite is bound twice.
QString paramMarker(int k) { return QStringLiteral("?\x01%1\x01").arg(k); }

// The statement with its date windows and NOT IN subqueries in their indexable forms;
// unchanged when it has neither. `marked`: its parameters were replaced by markers.
QString indexableForms(const QString &sql, bool *marked)
{
    if (!sql.contains(QLatin1String("ABS"), Qt::CaseInsensitive)
        && !sql.contains(QLatin1String("NOT"), Qt::CaseInsensitive))
        return sql;
    std::vector<SqlToken> t = tokenizeSql(sql);
    bool changed = false;
    const QString outer = outerTable(t);
    int params = 0;
    for (SqlToken &tok : t)
        if (tok.kind == SqlToken::Param)
            tok.text = paramMarker(params++);
    for (int i = 0; i < int(t.size()); ++i) {
        if (t[i].isWord("ABS"))
            changed = rewriteWindow(t, i) || changed;
        else if (t[i].isWord("NOT"))
            changed = rewriteNotIn(t, i, outer) || changed;
    }
    if (!changed)
        return sql;
    QString out;
    for (const SqlToken &tok : t)
        out += tok.text;
    *marked = params > 0;
    return out;
}

}  // namespace

RewriteResult rewriteOracleSql(const QString &sql, const OracleRewriteRules &rules,
                               bool keepForUpdate)
{
    bool marked = false;
    std::vector<SqlToken> t = tokenizeSql(indexableForms(sql, &marked));
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
    if (marked) {
        static const QRegularExpression marker(QStringLiteral("\\?\x01(\\d+)\x01"));
        QRegularExpressionMatchIterator it = marker.globalMatch(out);
        while (it.hasNext())
            result.paramOrder.push_back(it.next().captured(1).toInt());
        out.replace(marker, QStringLiteral("?"));
    }
    result.sql = out;
    return result;
}

}  // namespace nbk::data
