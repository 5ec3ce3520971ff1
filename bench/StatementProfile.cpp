#include "StatementProfile.h"

#include <QHash>
#include <QMap>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QVariant>
#include <algorithm>
#include <cstdio>
#include <sqlite3.h>
#include <vector>

namespace nbk::bench {

namespace {

struct Cost {
    double ns = 0;
    long calls = 0;
};

struct Operation {
    int iterations = 0;
    QHash<QString, Cost> statements;
};

QMap<QString, Operation> &operations()
{
    static QMap<QString, Operation> o;
    return o;
}

Operation *counting = nullptr;

int onProfile(unsigned kind, void *, void *statement, void *nanoseconds)
{
    if (kind != SQLITE_TRACE_PROFILE || !counting)
        return 0;
    const char *sql = sqlite3_sql(static_cast<sqlite3_stmt *>(statement));
    Cost &c = counting->statements[statementShape(QString::fromUtf8(sql ? sql : "?"))];
    c.ns += double(*static_cast<sqlite3_int64 *>(nanoseconds));
    ++c.calls;
    return 0;
}

}  // namespace

QString statementShape(const QString &sql)
{
    static const QRegularExpression literal(QStringLiteral(R"('(?:[^']|'')*'|\b\d+(?:\.\d+)?\b)"));
    static const QRegularExpression blanks(QStringLiteral(R"(\s+)"));
    return QString(sql).replace(literal, QStringLiteral("?")).replace(blanks, QStringLiteral(" ")).trimmed();
}

bool profileStatements(const QSqlDatabase &db)
{
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return false;
    sqlite3 *h = *static_cast<sqlite3 *const *>(handle.data());
    return h && sqlite3_trace_v2(h, SQLITE_TRACE_PROFILE, onProfile, nullptr) == SQLITE_OK;
}

void profileIteration(const QString &operation, bool starting)
{
    counting = starting ? &operations()[operation] : nullptr;
    if (counting)
        ++counting->iterations;
}

void printStatementProfile(int top)
{
    for (auto it = operations().cbegin(); it != operations().cend(); ++it) {
        const Operation &op = it.value();
        if (op.statements.isEmpty() || op.iterations <= 0)
            continue;
        std::vector<std::pair<QString, Cost>> byCost;
        for (auto s = op.statements.cbegin(); s != op.statements.cend(); ++s)
            byCost.emplace_back(s.key(), s.value());
        std::sort(byCost.begin(), byCost.end(), [](const auto &a, const auto &b) { return a.second.ns > b.second.ns; });
        double total = 0;
        for (const auto &s : byCost)
            total += s.second.ns;
        std::printf("\n%s: %.3f ms a pass inside the engine, %zu kinds of statement\n", qPrintable(it.key()),
                    total / op.iterations / 1e6, byCost.size());
        for (size_t i = 0; i < byCost.size() && int(i) < top; ++i) {
            const Cost &c = byCost[i].second;
            std::printf("  %7.3f ms a pass  %5.1f calls  %s\n", c.ns / op.iterations / 1e6, double(c.calls) / op.iterations,
                        qPrintable(byCost[i].first.left(150)));
        }
    }
}

}  // namespace nbk::bench
