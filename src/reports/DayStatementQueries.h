#pragma once
#include "reports/ReportOutcome.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace nbk::data {
class Class1;
class Connection;
}

namespace nbk::reports {

// One booking or cancellation of a clerk's day, as its transaction committed it.
struct StatementLine {
    QDateTime at;    // the last audit row of its transaction
    QString action;  // "Booking", "Cancellation" or "Partial cancellation"
    qint64 customerId = 0;
    QString name;
    qint64 run = 0;
    QList<int> seats;  // booked, or given back
    double taken = 0;
    double refunded = 0;
    double retained = 0;  // the cancellation charge kept of the fare given back
    QDateTime journey;    // the booking's journey date
    double share = -1;    // of the fare given back that the charge retained; -1: no charge recorded
};

// What one login took and refunded on one calendar day of the database's clock.
struct DayStatementData {
    QDate day;
    QString login;
    std::vector<StatementLine> lines;
    double taken = 0;
    double refunded = 0;
    double retained = 0;
    double net() const { return taken - refunded; }
};

// What the database lets this session see: its own login and, for a supervisor (or the
// database's owner), every login's.
struct StatementRights {
    QString login;
    bool anyLogin = false;
    QDate today;  // the database's calendar day
};

struct StatementRightsOutcome {
    std::optional<Message> message;
    StatementRights rights;
};

StatementRightsOutcome statementRights(data::Class1 &session);

// A time of the trail as nbk_trail_local gives it (the corporation's wall clock).
QDateTime trailTime(const QVariant &v);

struct DayStatementOutcome {
    std::optional<Message> message;
    DayStatementData statement;
};

// The day statement of `login` (empty: the session's own). A clerk asking for another
// login is refused with a message before anything is read.
DayStatementOutcome dayStatement(data::Class1 &session, const QDate &day, const QString &login);

// The statement as the database gives it to this session, without the client's refusal:
// the statement's own condition gives a clerk's session no row of another login. Throws
// data::DbException.
DayStatementData readDayStatement(data::Connection &cn, const QDate &day, const QString &login);

// The cancellations (whole or partial) of one booking that this session may read, in the
// order they were committed: a clerk's own, or any login's for the supervisor. Throws
// data::DbException.
std::vector<StatementLine> readCancellations(data::Connection &cn, qint64 customerId);

// The logins with rows in the audit trail on that day that this session may read, for the
// supervisor's choice (a clerk's session sees only its own).
QStringList statementLogins(data::Class1 &session, const QDate &day);

}  // namespace nbk::reports
