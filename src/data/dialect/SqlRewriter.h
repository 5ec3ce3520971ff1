#pragma once
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace nbk::data {

struct SqlToken {
    enum Kind { Space, Comment, Word, QuotedName, String, Number, Param, Symbol };
    Kind kind;
    QString text;
    bool isWord(const char *w) const
    {
        return kind == Word && text.compare(QLatin1String(w), Qt::CaseInsensitive) == 0;
    }
    bool isSymbol(const char *s) const { return kind == Symbol && text == QLatin1String(s); }
};

std::vector<SqlToken> tokenizeSql(const QString &sql);

// How an engine spells the Oracle constructs the client uses.
struct OracleRewriteRules {
    std::function<QString(const QString &sequence)> nextval;  // name.NEXTVAL
    QString nextvalAlias = QStringLiteral("NEXTVAL");        // column name of that value
    QString sysdate;                                           // SYSDATE
    bool realDivision = true;  // integer literals next to '/' become decimals
    // a divisor that is not a non-zero literal is wrapped in this function, which raises
    // the Oracle error for a zero divisor (empty: no wrapping)
    QString checkedDivisor;
};

struct RewriteResult {
    QString sql;
    bool forUpdateNowait = false;  // the statement ended with FOR UPDATE NOWAIT (removed)
    // for each parameter of sql, the parameter of the statement as written that it takes
    // (a rewrite may write one twice); empty: the same parameters in the same order
    std::vector<int> paramOrder;
};

// Rewrites Oracle SQL token by token; nothing inside a quoted literal changes.
// DELETE t WHERE -> DELETE FROM t WHERE; x IN a.b -> x IN (a.b); s.NEXTVAL; SYSDATE;
// exact division; a trailing FOR UPDATE NOWAIT is reported, and removed when
// keepForUpdate is false. ABS (col - x) <= n and col NOT IN (SELECT c FROM t) are given
// in equivalent forms an index serves.
RewriteResult rewriteOracleSql(const QString &sql, const OracleRewriteRules &rules,
                               bool keepForUpdate = true);

}  // namespace nbk::data
