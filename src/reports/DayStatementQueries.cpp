#include "reports/DayStatementQueries.h"

#include "data/session/Class1.h"
#include "data/session/Connection.h"
#include "data/dialect/DbError.h"
#include "ui/prompt/Prompt.h"
#include "data/dialect/SqlText.h"
#include "data/dialect/OracleDate.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <algorithm>

namespace nbk::reports {

namespace {

const char *const MSG_OTHER_LOGIN = "Only the supervisor may see the day statement of another login ";

// Who the session is and whether it may read every login's rows: the database says so,
// not the client. The embedded file keeps both in the session's own functions; on the
// server the supervisor is the role that may delete routes (its group's right, which the
// owner and superusers hold too; clerks may not read the table naming the groups).
const char *const SQL_OWN_EMBEDDED = "nbk_login()";
const char *const SQL_ALL_EMBEDDED = "nbk_supervisor() = 1";
const char *const SQL_OWN_SERVER = "session_user";
const char *const SQL_ALL_SERVER = "has_table_privilege(session_user, 'public.route', 'DELETE')";

// The day is the corporation's (its zone is a setting of the database): neither the
// client's nor the session's zone moves a booking to another day.
const char *const SQL_RIGHTS =
    "SELECT CASE WHEN %1 THEN 1 ELSE 0 END, %2, TO_CHAR(nbk_trail_now(),'YYYY-MM-DD') FROM dual";
// The customers' and seats' changes of one login around the day: a transaction belongs
// to the day of its last row, and on the embedded file its rows carry the times of their
// own statements, so a booking that waited past midnight is read whole.
const char *const SQL_CHANGES =
    "SELECT audit_id, nbk_trail_local(changed_at), txid, table_name, customer_id, old_values, new_values FROM nbk_audit "
    "WHERE table_name IN ('customer', 'seat_matrix', 'cancel_charge') AND changed_at >= nbk_trail_from(%1) "
    "AND changed_at < nbk_trail_from(%2) "
    "AND lower(login) = lower('%3') AND (lower(login) = lower(%4) OR %5) ORDER BY audit_id";
// The same changes of one booking, whatever the day.
const char *const SQL_BOOKING_CHANGES =
    "SELECT audit_id, nbk_trail_local(changed_at), txid, table_name, customer_id, old_values, new_values FROM nbk_audit "
    "WHERE table_name IN ('customer', 'seat_matrix', 'cancel_charge') AND customer_id = %1 "
    "AND (lower(login) = lower(%2) OR %3) ORDER BY audit_id";
const char *const SQL_LOGINS =
    "SELECT DISTINCT login FROM nbk_audit WHERE table_name = 'customer' AND changed_at >= nbk_trail_from(%1) "
    "AND changed_at < nbk_trail_from(%2) "
    "AND (lower(login) = lower(%3) OR %4) ORDER BY login";

bool embedded(const data::Connection &cn) { return cn.engineName() == QLatin1String("embedded"); }
QString own(const data::Connection &cn) { return QLatin1String(embedded(cn) ? SQL_OWN_EMBEDDED : SQL_OWN_SERVER); }
QString all(const data::Connection &cn) { return QLatin1String(embedded(cn) ? SQL_ALL_EMBEDDED : SQL_ALL_SERVER); }

// On the server a timestamp literal: TO_DATE there is a function with its own settings,
// which was called again for every row the index handed back to be checked.
QString midnight(const data::Connection &cn, const QDate &d)
{
    const QString text = d.toString(Qt::ISODate) + QStringLiteral(" 00:00:00");
    if (embedded(cn))
        return QStringLiteral("TO_DATE('%1','YYYY-MM-DD HH24:MI:SS')").arg(data::sqlText(text));
    return QStringLiteral("TIMESTAMP '%1'").arg(data::sqlText(text));
}

}  // namespace

QDateTime trailTime(const QVariant &v)
{
    // the file's functions give its days as a number, the server a timestamp
    if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Int)
        return data::fromDayNumber(v.toDouble());
    return v.toDateTime();
}

namespace {

QJsonObject row(const QVariant &json)
{
    return json.isNull() ? QJsonObject() : QJsonDocument::fromJson(json.toString().toUtf8()).object();
}

// A customer row as the statement counts it: the booking's placeholder (run -1) and no
// row at all hold no fare.
bool counts(const QJsonObject &customer) { return !customer.isEmpty() && customer.value("instance_id").toDouble() != -1; }

// One customer within one transaction: the row before its first change and after its
// last, and the seats the transaction wrote and deleted.
struct CustomerChange {
    QJsonObject before, after;
    bool seen = false;
    qint64 lastAudit = 0;
    QList<int> seatsIn, seatsOut;
    double retained = 0;  // the charges the transaction recorded
    double share = -1;    // their share of the fare given back; -1: none recorded
};

struct Transaction {
    QDateTime last;
    QMap<qint64, CustomerChange> customers;
};

std::optional<StatementLine> lineOf(qint64 customer, const CustomerChange &c, const QDateTime &at)
{
    const bool was = counts(c.before), is = counts(c.after);
    const double before = was ? c.before.value("fare").toDouble() : 0, after = is ? c.after.value("fare").toDouble() : 0;
    StatementLine l;
    l.at = at;
    l.customerId = customer;
    const QJsonObject &shown = is ? c.after : c.before;
    l.name = shown.value("name").toString();
    l.run = qint64(shown.value("instance_id").toDouble());
    // both engines write dates into the trail as 2003-03-05T23:50:00
    l.journey = QDateTime::fromString(shown.value("journey_date").toString(), Qt::ISODate);
    l.share = c.share;
    if (!was && is) {
        l.action = QStringLiteral("Booking");
        l.taken = after;
        l.seats = c.seatsIn;
    } else if (was && !is) {
        l.action = QStringLiteral("Cancellation");
        l.retained = std::min(c.retained, before);
        l.refunded = before - l.retained;
        l.seats = c.seatsOut;
    } else if (was && after < before) {
        l.action = QStringLiteral("Partial cancellation");
        l.retained = std::min(c.retained, before - after);
        l.refunded = before - after - l.retained;
        l.seats = c.seatsOut;
    } else if (was && after > before) {
        // seats added to a reservation: not a screen's change, but money taken all the same
        l.action = QStringLiteral("Booking");
        l.taken = after - before;
        l.seats = c.seatsIn;
    } else {
        return std::nullopt;  // nothing of the fare changed (or nothing committed counts)
    }
    std::sort(l.seats.begin(), l.seats.end());
    return l;
}

// The trail's rows in order, gathered per transaction and customer.
QMap<qint64, Transaction> gather(data::ResultSet r)
{
    QMap<qint64, Transaction> txs;
    for (; !r.eof(); r.moveNext()) {
        Transaction &t = txs[r.value(2).toLongLong()];
        t.last = std::max(t.last, trailTime(r.value(1)));
        const qint64 customer = r.value(4).toLongLong();
        CustomerChange &c = t.customers[customer];
        const QJsonObject before = row(r.value(5)), after = row(r.value(6));
        if (r.value(3).toString() == QLatin1String("cancel_charge")) {
            c.retained += after.value("retained").toDouble();
            c.share = after.value("retained_share").toDouble();
            continue;
        }
        if (r.value(3).toString() == QLatin1String("seat_matrix")) {
            if (!after.isEmpty())
                c.seatsIn << after.value("seat_no").toInt();
            if (!before.isEmpty())
                c.seatsOut << before.value("seat_no").toInt();
            continue;
        }
        if (!c.seen)
            c.before = before;
        c.seen = true;
        c.after = after;
        c.lastAudit = r.value(0).toLongLong();
    }
    return txs;
}

// The statement's lines of the transactions that ended on `day` (any day when invalid), in
// the order they were committed.
std::vector<StatementLine> linesOf(const QMap<qint64, Transaction> &txs, const QDate &day)
{
    std::vector<std::pair<qint64, StatementLine>> lines;
    for (const Transaction &t : txs) {
        if (day.isValid() && t.last.date() != day)
            continue;
        for (auto it = t.customers.cbegin(); it != t.customers.cend(); ++it)
            if (it->seen)
                if (std::optional<StatementLine> l = lineOf(it.key(), *it, t.last))
                    lines.emplace_back(it->lastAudit, *l);
    }
    std::sort(lines.begin(), lines.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    std::vector<StatementLine> out;
    for (auto &[audit, l] : lines)
        out.push_back(std::move(l));
    return out;
}

}  // namespace

StatementRightsOutcome statementRights(data::Class1 &s)
{
    StatementRightsOutcome out;
    try {
        data::Connection &cn = s.GetCurrentConnection();
        data::ResultSet r = cn.query(QString::fromLatin1(SQL_RIGHTS).arg(all(cn), own(cn)));
        out.rights = {r.value(1).toString(), r.value(0).toInt() == 1, QDate::fromString(r.value(2).toString(), Qt::ISODate)};
    } catch (const data::DbException &e) {
        out.message = databaseFailure(e);
    }
    return out;
}

DayStatementData readDayStatement(data::Connection &cn, const QDate &day, const QString &login)
{
    const QMap<qint64, Transaction> txs = gather(cn.query(QString::fromLatin1(SQL_CHANGES)
                                                              .arg(midnight(cn, day.addDays(-1)), midnight(cn, day.addDays(2)),
                                                                   data::sqlText(login), own(cn), all(cn))));
    DayStatementData d;
    d.day = day;
    d.login = login;
    for (StatementLine &l : linesOf(txs, day)) {
        d.taken += l.taken;
        d.refunded += l.refunded;
        d.retained += l.retained;
        d.lines.push_back(std::move(l));
    }
    return d;
}

DayStatementOutcome dayStatement(data::Class1 &s, const QDate &day, const QString &login)
{
    DayStatementOutcome out;
    const StatementRightsOutcome rights = statementRights(s);
    if (rights.message) {
        out.message = rights.message;
        return out;
    }
    const QString wanted = login.trimmed().isEmpty() ? rights.rights.login : login.trimmed();
    if (!rights.rights.anyLogin && wanted.compare(rights.rights.login, Qt::CaseInsensitive) != 0) {
        out.message = Message{QString::fromLatin1(MSG_OTHER_LOGIN), mb::Critical | mb::OKOnly, QStringLiteral("Error")};
        return out;
    }
    try {
        out.statement = readDayStatement(s.GetCurrentConnection(), day, wanted);
    } catch (const data::DbException &e) {
        out.message = databaseFailure(e);
    }
    return out;
}

std::vector<StatementLine> readCancellations(data::Connection &cn, qint64 customerId)
{
    std::vector<StatementLine> out;
    for (StatementLine &l :
         linesOf(gather(cn.query(QString::fromLatin1(SQL_BOOKING_CHANGES).arg(customerId).arg(own(cn), all(cn)))), QDate()))
        if (l.action != QLatin1String("Booking"))
            out.push_back(std::move(l));
    return out;
}

QStringList statementLogins(data::Class1 &s, const QDate &day)
{
    QStringList logins;
    try {
        data::Connection &cn = s.GetCurrentConnection();
        for (data::ResultSet r = cn.query(
                 QString::fromLatin1(SQL_LOGINS).arg(midnight(cn, day), midnight(cn, day.addDays(1)), own(cn), all(cn)));
             !r.eof(); r.moveNext())
            logins << r.value(0).toString();
    } catch (const data::DbException &) {
        // the choice stays open to typing; the statement itself reports the failure
    }
    return logins;
}

}  // namespace nbk::reports
