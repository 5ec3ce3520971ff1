#include "data/dialect/PostgresDialect.h"

#include <QSqlError>
#include <QSqlQuery>

namespace nbk::data {

namespace {
const char *const kSavepoint = "nbk_statement";
constexpr int kMaxHeldSavepoints = 32;

// "ERROR:  message\nDETAIL: ..." -> "message; DETAIL: ..." on one line.
QString oneLine(const QString &message)
{
    QString m = message.trimmed();
    for (const char *prefix : {"ERROR:", "FATAL:"})
        if (m.startsWith(QLatin1String(prefix)))
            m = m.mid(int(qstrlen(prefix))).trimmed();
    m.replace(QLatin1String("\r\n"), QLatin1String("; "));
    m.replace(QLatin1Char('\n'), QLatin1String("; "));
    return m.simplified();
}
}  // namespace

PostgresDialect::PostgresDialect()
{
    rules_.nextval = [](const QString &seq) {
        QString name = seq;
        name.replace(QLatin1Char('\''), QLatin1String("''"));
        // the ids of bookings and runs are counted per login by the database's own function
        if (name.compare(QLatin1String("c_seq"), Qt::CaseInsensitive) == 0
            || name.compare(QLatin1String("instance_seq"), Qt::CaseInsensitive) == 0)
            return QStringLiteral("public.nbk_nextval('%1')").arg(name);
        return QStringLiteral("nextval('%1')").arg(name);
    };
    rules_.nextvalAlias = QStringLiteral("\"NEXTVAL\"");
    // the moment of the statement, as the Oracle server gives it, not the transaction's start
    rules_.sysdate = QStringLiteral("CAST(clock_timestamp() AS timestamp(0))");
    rules_.realDivision = true;
}

QStringList PostgresDialect::sessionSetup()
{
    return {QStringLiteral("SET search_path = oracompat, pg_catalog, public"),
            QStringLiteral("SET lock_timeout = '3s'"),
            // Oracle compares and formats dates as they were written: no time zones here
            QStringLiteral("SET datestyle = 'ISO, MDY'"),
            // typed text is quoted by doubling its quotes alone: a backslash must stay a
            // backslash, whatever the server's configuration says
            QStringLiteral("SET standard_conforming_strings = on"),
            QStringLiteral("SET application_name = 'nbk-reservation'")};
}

QStringList PostgresDialect::optionalSessionSetup()
{
    return {QStringLiteral("SET tcp_keepalives_idle = 30"), QStringLiteral("SET tcp_keepalives_interval = 10"),
            QStringLiteral("SET tcp_keepalives_count = 3"),
            // PostgreSQL 14 and later: a query's backend also checks that its client lives
            QStringLiteral("SET client_connection_check_interval = '10s'")};
}

QString PostgresDialect::translate(const QString &oracleSql, std::vector<int> *paramOrder) const
{
    // PostgreSQL takes FOR UPDATE NOWAIT as Oracle does
    RewriteResult r = rewriteOracleSql(oracleSql, rules_, true);
    if (paramOrder)
        *paramOrder = std::move(r.paramOrder);
    return r.sql;
}

DbError PostgresDialect::mapError(const QString &sqlState, const QString &message,
                                  const QString &statement)
{
    const QString text = oneLine(message);
    auto with = [&](int n, const QString &oracle) {
        return DbError{n, oraText(n, oracle) + QStringLiteral(" (") + text + QLatin1Char(')'), sqlState};
    };
    if (sqlState == QLatin1String("55P03"))  // lock not available, also lock_timeout
        return {ora::ResourceBusy, QString::fromLatin1(kResourceBusyText), sqlState};
    // numbers our own server functions raise
    if (const int n = oraNumberIn(text)) {
        const int at = int(text.indexOf(QLatin1String("ORA-")));
        QString own = text.mid(at);
        const int context = int(own.indexOf(QLatin1String("; CONTEXT:")));
        if (context >= 0)
            own.truncate(context);
        return {n, own, sqlState};
    }
    const QString st = sqlState;
    if (st == QLatin1String("23505"))
        return with(ora::UniqueViolated, QStringLiteral("unique constraint violated"));
    if (st == QLatin1String("23P01"))
        return with(ora::SeatTaken, QStringLiteral("seat already held on this stretch"));
    if (st == QLatin1String("23502"))
        return with(ora::CannotInsertNull, QStringLiteral("cannot insert NULL"));
    if (st == QLatin1String("23503")) {
        const bool deleting = text.startsWith(QLatin1String("update or delete"))
                              || statement.trimmed().startsWith(QLatin1String("DELETE"), Qt::CaseInsensitive);
        if (deleting)
            return with(ora::ChildRecordFound, QStringLiteral("integrity constraint violated - child record found"));
        return with(ora::ParentKeyNotFound, QStringLiteral("integrity constraint violated - parent key not found"));
    }
    if (st == QLatin1String("23514"))
        return with(2290, QStringLiteral("check constraint violated"));
    if (st == QLatin1String("42P01"))
        return with(ora::TableMissing, QStringLiteral("table or view does not exist"));
    if (st == QLatin1String("42703") || st == QLatin1String("42883"))
        return with(ora::InvalidIdentifier, QStringLiteral("invalid identifier"));
    if (st == QLatin1String("22P02") || st == QLatin1String("22003"))
        return with(ora::InvalidNumber, QStringLiteral("invalid number"));
    if (st == QLatin1String("22012"))
        return with(1476, QStringLiteral("divisor is equal to zero"));
    if (st == QLatin1String("22001"))
        return with(12899, QStringLiteral("value too large for column"));
    if (st == QLatin1String("22008"))
        return with(ora::DayOfMonth, QStringLiteral("date value out of range"));
    if (st == QLatin1String("22007"))
        return with(ora::LiteralMismatch, QStringLiteral("literal does not match format string"));
    if (st == QLatin1String("42601"))
        return with(ora::InvalidSql, QStringLiteral("invalid SQL statement"));
    if (st == QLatin1String("42501"))
        return with(1031, QStringLiteral("insufficient privileges"));
    if (st == QLatin1String("42P07") || st == QLatin1String("42710"))
        return with(955, QStringLiteral("name is already used by an existing object"));
    if (st == QLatin1String("40P01"))
        return with(ora::Deadlock, QStringLiteral("deadlock detected while waiting for resource"));
    if (st == QLatin1String("40001"))
        return with(8177, QStringLiteral("can't serialize access for this transaction"));
    if (st == QLatin1String("57014"))
        return with(1013, QStringLiteral("user requested cancel of current operation"));
    if (st == QLatin1String("28P01"))
        return with(ora::InvalidLogon, QStringLiteral("invalid username/password; logon denied"));
    if (st == QLatin1String("3D000"))
        return with(12514, QStringLiteral("TNS:listener does not currently know of service requested"));
    if (st.startsWith(QLatin1String("08")) || st.startsWith(QLatin1String("57P")))
        return with(3113, QStringLiteral("end-of-file on communication channel"));
    if (st.startsWith(QLatin1String("23")))
        return with(ora::UserDefined, QStringLiteral("refused by a database rule"));
    if (st.startsWith(QLatin1String("42")))
        return with(ora::InvalidSql, QStringLiteral("invalid SQL statement"));
    if (st.isEmpty() && isAuthenticationFailure(text))
        return with(ora::InvalidLogon, QStringLiteral("invalid username/password; logon denied"));
    if (st.isEmpty())
        return with(3113, QStringLiteral("end-of-file on communication channel"));
    return with(ora::UserDefined, QStringLiteral("database error"));
}

void PostgresDialect::statementStarting(QSqlDatabase &db)
{
    savepointOpen_ = false;
    if (!inTransaction_)
        return;
    QSqlQuery q(db);
    if (depth_ >= kMaxHeldSavepoints) {
        // releasing the first folds every later one into the transaction as well
        if (q.exec(QStringLiteral("RELEASE SAVEPOINT %1_1").arg(QLatin1String(kSavepoint))))
            depth_ = 0;
    }
    savepointOpen_ = q.exec(QStringLiteral("SAVEPOINT %1_%2").arg(QLatin1String(kSavepoint)).arg(depth_ + 1));
    if (savepointOpen_)
        ++depth_;
}

void PostgresDialect::statementFinished(QSqlDatabase &db, bool ok)
{
    if (!savepointOpen_)
        return;
    savepointOpen_ = false;
    if (ok)
        return;
    QSqlQuery q(db);
    q.exec(QStringLiteral("ROLLBACK TO SAVEPOINT %1_%2").arg(QLatin1String(kSavepoint)).arg(depth_));
}

bool isAuthenticationFailure(const QString &text)
{
    return text.contains(QLatin1String("password authentication failed"), Qt::CaseInsensitive)
           || text.contains(QLatin1String("no password supplied"), Qt::CaseInsensitive);
}

DbError connectionRefusal(const QString &text)
{
    struct Reason {
        const char *says;
        int number;
        const char *oracle;
    };
    // first match wins: the per-login limit is also a "too many connections"
    static const Reason reasons[] = {
        {"too many connections for role", 2391, "exceeded simultaneous SESSIONS_PER_USER limit"},
        {"too many connections", 18, "maximum number of sessions exceeded"},
        {"too many clients", 18, "maximum number of sessions exceeded"},
        {"remaining connection slots are reserved", 18, "maximum number of sessions exceeded"},
        {"does not exist", 12514, "TNS:listener does not currently know of service requested in connect descriptor"},
        {"is not permitted to log in", 1045, "user lacks CREATE SESSION privilege; logon denied"},
        {"permission denied for database", 1045, "user lacks CREATE SESSION privilege; logon denied"},
        {"the database system is starting up", 1033, "ORACLE initialization or shutdown in progress"},
        {"the database system is shutting down", 1089, "immediate shutdown or close in progress - no operations are permitted"},
        {"the database system is in recovery mode", 1033, "ORACLE initialization or shutdown in progress"},
        {"not yet accepting connections", 1033, "ORACLE initialization or shutdown in progress"},
    };
    const QString detail = QStringLiteral(" (") + text.simplified() + QLatin1Char(')');
    if (isAuthenticationFailure(text))
        return {ora::InvalidLogon, oraText(ora::InvalidLogon, QStringLiteral("invalid username/password; logon denied")) + detail, {}};
    for (const Reason &r : reasons)
        if (text.contains(QLatin1String(r.says), Qt::CaseInsensitive))
            return {r.number, oraText(r.number, QLatin1String(r.oracle)) + detail, {}};
    return {ora::NoListener, oraText(ora::NoListener, QStringLiteral("TNS:no listener")) + detail, {}};
}

}  // namespace nbk::data
