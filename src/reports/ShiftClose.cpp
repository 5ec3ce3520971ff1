#include "reports/ShiftClose.h"

#include "data/dialect/Numbers.h"
#include "data/dialect/SqlText.h"
#include "data/session/Class1.h"
#include "data/session/Connection.h"
#include "data/session/Transaction.h"
#include "reports/DayStatementQueries.h"
#include "ui/prompt/Prompt.h"

#include <QStringList>

namespace nbk::reports {

namespace {

const char *const SQL_EARLIER =
    "SELECT coalesce(sum(expected), 0) FROM shift_close WHERE lower(login) = lower('%1') AND closed_at >= %2 "
    "AND closed_at < %3";
const char *const SQL_CLOSE =
    "INSERT INTO shift_close (login, closed_at, expected, counted, difference, denominations) "
    "VALUES ('%1', SYSDATE, %2, %3, %4, '%5')";
// a clerk's session reads its own closes; the supervisor's (the database says which) all
const char *const SQL_CLOSES =
    "SELECT login, To_char(closed_at,'YYYY-MM-DD HH24:MI:SS'), expected, counted, difference, denominations "
    "FROM shift_close WHERE closed_at >= %1 AND closed_at < %2 AND (lower(login) = lower('%3') OR %4 = 1) "
    "ORDER BY closed_at, login";

QString midnight(const QDate &d)
{
    return QStringLiteral("TO_DATE('%1 00:00:00','YYYY-MM-DD HH24:MI:SS')").arg(d.toString(Qt::ISODate));
}

QString money(double v) { return QStringLiteral("\u20B9 ") + shortestDecimal(std::round(v * 100) / 100); }

}  // namespace

ShiftCloseOutcome closeShift(data::Class1 &s, const QList<CashCount> &counts, const Confirm &confirm)
{
    ShiftCloseOutcome out;
    const StatementRightsOutcome rights = statementRights(s);
    if (rights.message) {
        out.message = rights.message;
        return out;
    }
    ShiftCloseRow &c = out.close;
    c.login = rights.rights.login;
    QStringList pieces;
    for (const CashCount &n : counts) {
        if (n.pieces < 0 || n.denomination <= 0) {
            out.message = Message{QStringLiteral("A count is a whole number of pieces, 0 or more "), mb::Critical | mb::OKOnly,
                                  QStringLiteral("Error")};
            return out;
        }
        if (n.pieces > 0)
            pieces << QStringLiteral("%1x%2").arg(n.denomination).arg(n.pieces);
        c.counted += double(n.denomination) * n.pieces;
    }
    c.denominations = pieces.join(QLatin1Char(' '));
    try {
        data::Connection &cn = s.GetCurrentConnection();
        const QDate today = rights.rights.today;
        // what the trail says the login took today, less what its earlier closes took away
        const double net = readDayStatement(cn, today, c.login).net();
        const double earlier = cn.query(QString::fromLatin1(SQL_EARLIER)
                                            .arg(data::sqlText(c.login), midnight(today), midnight(today.addDays(1))))
                                   .value(0)
                                   .toDouble();
        c.expected = std::round((net - earlier) * 100) / 100;
        c.difference = c.counted - c.expected;
        const QString text = QStringLiteral("Close the shift of %1?\r\n\r\nExpected from the trail: %2\r\nCounted: %3\r\n"
                                            "Difference: %4")
                                 .arg(c.login, money(c.expected), money(c.counted), money(c.difference));
        if (!confirm({text, mb::Question | mb::YesNo | mb::DefaultButton2, QStringLiteral("Close Shift")}))
            return out;
        data::Transaction tx(s, QStringLiteral("the close of the shift"));
        if (!tx.isOpen()) {
            out.message = Message{tx.refusal(), mb::Critical | mb::OKOnly, QStringLiteral("Error")};
            return out;
        }
        cn.execute(QString::fromLatin1(SQL_CLOSE)
                       .arg(data::sqlText(c.login), QString::number(c.expected, 'g', 17),
                            QString::number(c.counted, 'g', 17), QString::number(c.difference, 'g', 17),
                            data::sqlText(c.denominations)));
        tx.commit();
    } catch (const data::DbException &e) {
        out.message = databaseFailure(e);
        return out;
    }
    out.closed = true;
    out.message = Message{QStringLiteral("Shift closed. Expected %1, counted %2, difference %3")
                              .arg(money(c.expected), money(c.counted), money(c.difference)),
                          mb::Information | mb::OKOnly, QStringLiteral("Close Shift")};
    return out;
}

std::vector<ShiftCloseRow> shiftCloses(data::Class1 &s, const QDate &day)
{
    std::vector<ShiftCloseRow> rows;
    const StatementRightsOutcome rights = statementRights(s);
    if (rights.message)
        return rows;
    try {
        for (data::ResultSet r = s.GetCurrentConnection().query(
                 QString::fromLatin1(SQL_CLOSES)
                     .arg(midnight(day), midnight(day.addDays(1)), data::sqlText(rights.rights.login),
                          rights.rights.anyLogin ? QStringLiteral("1") : QStringLiteral("0")));
             !r.eof(); r.moveNext())
            rows.push_back({r.value(0).toString(),
                            QDateTime::fromString(r.value(1).toString(), QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                            r.value(2).toDouble(), r.value(3).toDouble(), r.value(4).toDouble(), r.value(5).toString()});
    } catch (const data::DbException &) {
        // an empty list: the close itself reports failures
    }
    return rows;
}

}  // namespace nbk::reports
