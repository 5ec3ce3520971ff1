// Cancellation charges: the slab of the hours left, kept with the sale, retained by the
// cancellation and shown before the clerk agrees; the database refuses any other refund.
#include "support/Outcomes.h"

#include "operations/CancelReservation.h"
#include "common/PeopleDates.h"
#include "data/session/Transaction.h"
#include "operations/CancelSeed.h"
#include "reports/DayStatementQueries.h"
#include "reports/FillReports.h"
#include "reports/RefundSlip.h"

#include <QTimeZone>

using namespace nbk;
using namespace nbk::test;

namespace {

// Karnataka's slabs in force since 2020: 10% from 72 hours before the departure, 25% from
// 24, 50% up to the departure, nothing given back after it.
const char *const kSlabs[] = {
    "INSERT INTO cancel_slab VALUES (TO_DATE('01-01-2020 00:00:00','DD-MM-YYYY HH24:MI:SS'), 72, 0.1)",
    "INSERT INTO cancel_slab VALUES (TO_DATE('01-01-2020 00:00:00','DD-MM-YYYY HH24:MI:SS'), 24, 0.25)",
    "INSERT INTO cancel_slab VALUES (TO_DATE('01-01-2020 00:00:00','DD-MM-YYYY HH24:MI:SS'), 0, 0.5)",
};

class CancelCharge : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        seedCancelRuns(db());
        for (const char *s : kSlabs)
            db().exec(QString::fromLatin1(s));
    }
    // A booking sold now, leaving `hours` after now (half hours, so that the whole hours
    // shown do not depend on the second the test runs in).
    void book(int cid, int run, const QList<int> &seats, int fare, double hours)
    {
        bookForCancel(db(), cid, run, seats, fare);
        // departures are written in the corporation's wall clock
        db().exec(QStringLiteral("UPDATE customer SET journey_date = nbk_trail_now() + (%1)/24 WHERE customer_id = %2")
                      .arg(hours)
                      .arg(cid));
    }
    QString charge(int cid)
    {
        data::ResultSet r = db().query(QStringLiteral("SELECT seats, fare_before, fare_after, retained, refunded "
                                                      "FROM cancel_charge WHERE customer_id = %1")
                                           .arg(cid));
        if (r.eof())
            return QStringLiteral("none");
        QStringList cells;
        for (int i = 0; i < 5; ++i)
            cells << QString::number(r.value(i).toDouble());
        return cells.join(QLatin1Char(' '));
    }
    // The session's own statement of today.
    reports::DayStatementData today()
    {
        const reports::StatementRightsOutcome rights = reports::statementRights(session());
        return reports::dayStatement(session(), rights.rights.today, QString()).statement;
    }
};

TEST_P(CancelCharge, TheSlabOfTheHoursLeftIsRetainedShownFirstAndStated)
{
    struct Case {
        int cid;
        int run;
        QList<int> seats;
        int fare;
        double hours;
        qint16 k;
        const char *shown;   // the end of the question
        const char *charge;  // seats, fare before and after, retained, refunded
    };
    const Case cases[] = {
        {301, 70, {1, 2, 3, 4}, 400, 100.5, 1,
         "Fare of these seats: \u20B9 100\r\nCancellation charge: \u20B9 10 (10% at 100 hours before departure)"
         "\r\nAmount to refund: \u20B9 90",
         "1 400 300 10 90"},
        {302, 70, {5, 6}, 200, 30.5, 0,
         "Fare of these seats: \u20B9 200\r\nCancellation charge: \u20B9 50 (25% at 30 hours before departure)"
         "\r\nAmount to refund: \u20B9 150",
         "2 200 0 50 150"},
        {303, 71, {7, 8}, 390, 10.5, 1,
         "Fare of these seats: \u20B9 195\r\nCancellation charge: \u20B9 97.50 (50% at 10 hours before departure)"
         "\r\nAmount to refund: \u20B9 97.50",
         "1 390 195 97.5 97.5"},
        {304, 70, {9}, 100, -2, 0,
         "Fare of these seats: \u20B9 100\r\nCancellation charge: \u20B9 100 (100% after departure)"
         "\r\nAmount to refund: \u20B9 0",
         "1 100 0 100 0"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.cid);
        book(c.cid, c.run, c.seats, c.fare, c.hours);
        QString asked;
        const CancelOutcome o = CancelReservation(QString::number(c.cid), c.k, [&](const Notice &q) {
            asked = q.text;
            return true;
        });
        EXPECT_TRUE(asked.endsWith(QString::fromUtf8(c.shown))) << asked.toStdString();
        EXPECT_EQ(o.cancelled, c.k == 0 ? int(c.seats.size()) : c.k) << noticeTexts(o.notices).toStdString();
        EXPECT_EQ(charge(c.cid), QLatin1String(c.charge));
    }
    // taken by the owner's bookings, so the session's day holds the cancellations only
    const reports::DayStatementData d = today();
    ASSERT_EQ(d.lines.size(), 4u);
    EXPECT_DOUBLE_EQ(d.refunded, 90 + 150 + 97.5 + 0);
    EXPECT_DOUBLE_EQ(d.retained, 10 + 50 + 97.5 + 100);
    EXPECT_DOUBLE_EQ(d.lines[1].retained, 50);
    EXPECT_DOUBLE_EQ(d.lines[1].refunded, 150);

    // each slip, read back from the trail, names the seats, the charge with its slab and the refund
    const struct {
        int cid;
        const char *seats, *fare, *charge, *refund;
    } slips[] = {
        {301, "1", "\u20B9 100", "\u20B9 10 (10%, slab from 72 h before departure)", "\u20B9 90"},
        {302, "5, 6", "\u20B9 200", "\u20B9 50 (25%, slab from 24 h before departure)", "\u20B9 150"},
        {303, "7", "\u20B9 195", "\u20B9 97.50 (50%, slab from 0 h before departure)", "\u20B9 97.50"},
        {304, "9", "\u20B9 100", "\u20B9 100 (100%, past the last slab)", "\u20B9 0"},
    };
    for (const auto &c : slips) {
        SCOPED_TRACE(c.cid);
        const reports::RefundSlipOutcome o = reports::refundSlip(session(), QString::number(c.cid));
        ASSERT_FALSE(o.message) << o.message->text.toStdString();
        const reports::FilledReport f = reports::fillRefundSlip(o.slip);
        const auto value = [&](const char *column) { return f.data.value(0, QString::fromLatin1(column)).toString(); };
        EXPECT_EQ(value("SEATS"), QString::fromUtf8(c.seats));
        EXPECT_EQ(value("FARE"), QString::fromUtf8(c.fare));
        EXPECT_EQ(value("CHARGE"), QString::fromUtf8(c.charge));
        EXPECT_EQ(value("REFUND"), QString::fromUtf8(c.refund));
        EXPECT_EQ(value("CANCELLED_ON"), peopleDate(d.day));
    }
    EXPECT_TRUE(reports::refundSlip(session(), QStringLiteral("900")).message);  // never cancelled
}

TEST_P(CancelCharge, ABookingSoldBeforeTheSlabsIsGivenBackWholeAsToday)
{
    db().exec(QStringLiteral("DELETE FROM cancel_slab"));
    book(401, 70, {1, 2}, 200, 10.5);
    for (const char *s : kSlabs)
        db().exec(QString::fromLatin1(s));
    QString asked;
    const CancelOutcome o = CancelReservation(QStringLiteral("401"), 1, [&](const Notice &q) {
        asked = q.text;
        return true;
    });
    EXPECT_TRUE(asked.endsWith(QStringLiteral("(1 of 2 seats)\r\nAmount to refund: \u20B9 100"))) << asked.toStdString();
    EXPECT_EQ(noticeTexts(o.notices), QStringLiteral("1 seats deleted|Done."));
    EXPECT_EQ(charge(401), QStringLiteral("none"));
    EXPECT_DOUBLE_EQ(today().refunded, 100);
    const reports::RefundSlipOutcome slip = reports::refundSlip(session(), QStringLiteral("401"));
    ASSERT_FALSE(slip.message);
    EXPECT_FALSE(slip.slip.charged());
    EXPECT_DOUBLE_EQ(slip.slip.cancellation.refunded, 100);
}

// A session's own statements, past the screen: every refund beyond the slab is refused,
// and a schedule in force stays as it is.
TEST_P(CancelCharge, HandWrittenRefundsAndSlabChangesAreRefused)
{
    book(501, 70, {1, 2}, 200, 30.5);  // 25% now
    const char *const kCharge = "INSERT INTO cancel_charge (customer_id, seats, fare_before, fare_after, "
                               "retained_share, retained, refunded) VALUES (501, ";
    struct Case {
        QStringList sql;  // in one transaction; the last one is refused
        int error;
    };
    const Case cases[] = {
        {{"UPDATE customer SET fare = 100 WHERE customer_id = 501"}, 20008},
        {{"DELETE FROM SEAT_MATRIX  WHERE customer_id =  501", "DELETE FROM CUSTOMER WHERE customer_id = 501"}, 20008},
        {{QString::fromLatin1(kCharge) + "1, 200, 100, 0.25, 24, 76)"}, 20008},   // retains less
        {{QString::fromLatin1(kCharge) + "1, 200, 100, 0.1, 10, 90)"}, 20008},    // an earlier slab
        {{QString::fromLatin1(kCharge) + "1, 300, 150, 0.25, 37.5, 112.5)"}, 20008},  // not its fare
        {{QString::fromLatin1(kCharge) + "1, 200, 100, 0.25, 25, 75)",
          "UPDATE customer SET fare = 50 WHERE customer_id = 501"}, 20008},  // more than recorded
        {{"INSERT INTO cancel_slab VALUES (TO_DATE('01-01-2021 00:00:00','DD-MM-YYYY HH24:MI:SS'), 1, 0)"}, 20008},
        {{"DELETE FROM cancel_slab"}, 20008},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.sql.join(QStringLiteral("; ")).toStdString());
        {
            data::Transaction tx(session(), QStringLiteral("the test's statements"));
            for (int i = 0; i < c.sql.size(); ++i) {
                const qint16 r = session().exec(c.sql[i]);
                EXPECT_EQ(r, i + 1 < c.sql.size() ? data::kExecOk : c.error) << session().LastExecError().toStdString();
            }
        }
        EXPECT_EQ(charge(501), QStringLiteral("none"));
        EXPECT_DOUBLE_EQ(db().scalar("SELECT fare FROM customer WHERE customer_id = 501").toDouble(), 200);
        EXPECT_EQ(db().scalar("SELECT count(*) FROM cancel_slab").toInt(), 3);
    }
    // a server session moving its own clock twelve hours back finds the same slab
    if (GetParam() == EngineKind::Postgres) {
        book(502, 70, {3, 4}, 200, 65.5);  // 25% now, 10% twelve hours earlier
        data::Transaction tx(session(), QStringLiteral("the test's statements"));
        ASSERT_EQ(session().exec("SET LOCAL TimeZone = 'Etc/GMT+12'"), data::kExecOk);
        EXPECT_EQ(session().exec("INSERT INTO cancel_charge (customer_id, seats, fare_before, fare_after, "
                                 "retained_share, retained, refunded) VALUES (502, 1, 200, 100, 0.1, 10, 90)"),
                  20008);
    }
    // a schedule from tomorrow may still be set, and withdrawn
    EXPECT_EQ(session().exec("INSERT INTO cancel_slab VALUES (SYSDATE + 1, 48, 0.2)"), data::kExecOk)
        << session().LastExecError().toStdString();
    EXPECT_EQ(session().exec("DELETE FROM cancel_slab WHERE hours_before = 48"), data::kExecOk);
}

// The hours left are counted on the corporation's wall clock, the one its departures are
// written in, whatever zone the machine, the server or the cancelling session keeps.
TEST_P(CancelCharge, TheHoursLeftAreCountedInTheCorporationsZoneWhateverTheServers)
{
    struct Case {
        const char *corporation;
        const char *session;  // the server session's TimeZone
    };
    const Case cases[] = {{"Asia/Kolkata", "UTC"},
                          {"Asia/Kolkata", "Pacific/Auckland"},
                          {"Pacific/Auckland", "Etc/GMT+12"},
                          {"Etc/GMT+12", "Asia/Kolkata"}};
    int cid = 600;
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.corporation) + " / " + c.session);
        ++cid;
        db().exec(QStringLiteral("UPDATE nbk_settings SET zone = '%1'").arg(QLatin1String(c.corporation)));
        if (GetParam() == EngineKind::Postgres) {
            db().exec(QStringLiteral("SET TimeZone = '%1'").arg(QLatin1String(c.session)));
            ASSERT_EQ(session().exec(QStringLiteral("SET TimeZone = '%1'").arg(QLatin1String(c.session))),
                      data::kExecOk);
        }
        // leaving 20.5 hours from now on the corporation's wall clock: the slab from 0 hours
        const QDateTime departure =
            QDateTime::currentDateTimeUtc().toTimeZone(QTimeZone(QByteArray(c.corporation))).addSecs(20 * 3600 + 1800);
        bookForCancel(db(), cid, 70, {cid - 590}, 100);
        db().exec(QStringLiteral("UPDATE customer SET journey_date = TO_DATE('%1','DD-MM-YYYY HH24:MI:SS') "
                                 "WHERE customer_id = %2")
                      .arg(departure.toString(QStringLiteral("dd-MM-yyyy HH:mm:ss")))
                      .arg(cid));
        QString asked;
        const CancelOutcome o = CancelReservation(QString::number(cid), 0, [&](const Notice &q) {
            asked = q.text;
            return true;
        });
        EXPECT_TRUE(asked.contains(QStringLiteral("(50% at 20 hours before departure)"))) << asked.toStdString();
        EXPECT_EQ(o.cancelled, 1) << noticeTexts(o.notices).toStdString();
        EXPECT_EQ(charge(cid), QStringLiteral("1 100 0 50 50"));
    }
}

NBK_ALL_ENGINES(CancelCharge);

}  // namespace
