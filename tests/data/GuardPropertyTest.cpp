// Generated statements through the one-statement guard and the dialect's rewriters: typed
// text quoted by sqlText stays one literal whatever it holds, and no rewriting turns one
// statement of the server's into two. A fixed seed keeps a failure reproducible; NBK_FUZZ_ROUNDS runs
// longer (CI runs the default).
#include "data/dialect/PostgresDialect.h"
#include "data/dialect/SqlRewriter.h"
#include "data/dialect/SqlText.h"
#include "data/dialect/StatementGuard.h"
#include "data/engines/SqliteEngine.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace nbk::data;

namespace {

// The pieces that change how a lexer reads what follows.
const char *const kPieces[] = {"'", "''", "\"", "\\", "\\'", "$$", "$a$", "$", ";", "--", "\n", "/*", "*/", "E'",
                               "U&'", "B'", "N'", "(", ")", ",", " ", "a", "1", "SELECT", "FROM dual", "x.NEXTVAL",
                               "SYSDATE", "FOR UPDATE NOWAIT", "?", ":1", "\t", "é", "\xF0\x9F\x98\x80", "||", "/", "DELETE"};

QString soup(QRandomGenerator &g, int pieces)
{
    QString s;
    for (int i = 0; i < pieces; ++i)
        s += QString::fromUtf8(kPieces[g.bounded(int(std::size(kPieces)))]);
    return s;
}

int rounds()
{
    bool ok = false;
    const int n = qEnvironmentVariableIntValue("NBK_FUZZ_ROUNDS", &ok);
    return ok && n > 0 ? n : 20000;
}

const BackslashEscapes kStandard = [] { return std::optional<bool>(false); };

TEST(GuardProperty, TypedTextQuotedBySqlTextStaysOneLiteralThroughEveryRewriter)
{
    QRandomGenerator g(20261211);
    const PostgresDialect postgres;
    const SqliteEngine file;
    for (int i = 0, n = rounds(); i < n; ++i) {
        const QString typed = soup(g, 1 + g.bounded(12));
        const QString literal = QLatin1Char('\'') + sqlText(typed) + QLatin1Char('\'');
        const QString sql = QStringLiteral("INSERT INTO test1 VALUES (1, %1)").arg(literal);
        SCOPED_TRACE(typed.toStdString());
        ASSERT_FALSE(holdsMoreThanOneStatement(sql, kStandard));
        for (const QString &out : {postgres.translate(sql), file.translate(sql)}) {
            ASSERT_TRUE(out.contains(literal)) << out.toStdString();
            ASSERT_FALSE(holdsMoreThanOneStatement(out, kStandard)) << out.toStdString();
        }
    }
}

TEST(GuardProperty, NoRewritingMakesTwoStatementsOfOne)
{
    QRandomGenerator g(11122026);
    const PostgresDialect postgres;
    for (int i = 0, n = rounds(); i < n; ++i) {
        const QString sql = soup(g, 1 + g.bounded(16));
        SCOPED_TRACE(sql.toStdString());
        // (dollar quotes included: the rewriter reads them as the server does)
        if (holdsMoreThanOneStatement(sql, kStandard))
            continue;
        // (the guard reads the server's texts; SQLite's own driver refuses a second statement)
        ASSERT_FALSE(holdsMoreThanOneStatement(postgres.translate(sql), kStandard)) << postgres.translate(sql).toStdString();
    }
}

}  // namespace
