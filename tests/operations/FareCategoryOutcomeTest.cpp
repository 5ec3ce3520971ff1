// Fare categories: a concession seat pays its category's share of the adult fare, for an
// age the category takes; the database refuses any other concession, and a cancellation
// gives back the seats' own fares.
#include "support/Outcomes.h"
#include "support/TestDatabase.h"

#include "data/dialect/Numbers.h"
#include "data/session/Transaction.h"
#include "operations/CancelReservation.h"
#include "operations/CancelSeed.h"
#include "reports/TicketQueries.h"
#include "reservation/FindBusInstances.h"
#include "reservation/SaveCustomer.h"

#include <cmath>

using namespace nbk;
using namespace nbk::test;

namespace {

const Confirm kNoQuestion = [](const Notice &q) {
    ADD_FAILURE() << "asked: " << q.text.toStdString();
    return false;
};

// A child from 5 to 12 at half the fare; a senior from 60 at 62.5% (a share whose seat
// fare falls on a half rupee, rounded to the even neighbour as the rule rounds it).
const char *const kCategories[] = {
    "INSERT INTO fare_category VALUES ('child', 0.5, 5, 12)",
    "INSERT INTO fare_category VALUES ('senior', 0.625, 60, 120)",
};

QList<FareCategory> onFile()
{
    return {{QStringLiteral("child"), 0.5, 5, 12}, {QStringLiteral("senior"), 0.625, 60, 120}};
}

// Route 7 A-B-C-D; a family of three booked from Aa to Dd on run 70.
class FareCategories : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        seedRouteABCD();
        for (const char *s : kCategories)
            db().exec(QString::fromLatin1(s));
    }
    static std::shared_ptr<PendingBooking> pending(qint16 seats = 3)
    {
        reservation::ReservationState r;
        r.OriginPlace = QStringLiteral("A");
        r.DestinationPlace = QStringLiteral("D");
        r.ClassIndex = 2;
        r.SeatsRequested = seats;
        r.JourneyDateTime = QDateTime(QDate(2003, 3, 5), QTime(23, 50));
        r.JourneyDateText = r.JourneyDateTime.toString(QStringLiteral("M-d-yyyy H:m:00"));
        QString route;
        SearchOutcome o = FindBusInstances(r, route, kNoQuestion);
        EXPECT_TRUE(o.booked()) << noticeTexts(o.notices).toStdString();
        return o.booking.booking;
    }
    static QList<SeatCategoryChoice> family(const PendingBooking &b, const char *child = "child",
                                            const char *childAge = "8")
    {
        const QList<qint16> s = b.seats();
        return {{s[0], QStringLiteral("Adult"), QString()},
                {s[1], QLatin1String(child), QLatin1String(childAge)},
                {s[2], QStringLiteral("senior"), QStringLiteral("61")}};
    }
    CustomerSaveOutcome save(PendingBooking &b, const QList<SeatCategoryChoice> &choices,
                             const QList<FareCategory> &categories = onFile())
    {
        return SaveCustomerDetails(&b, QStringLiteral("Ravi"), QStringLiteral("98450"), QStringLiteral("40"),
                                   QStringLiteral("M"), choices, categories);
    }
    // Every row a booking leaves: customers, seats, concession seats.
    QString rows()
    {
        data::ResultSet r = db().query("SELECT (SELECT count(*) FROM customer), (SELECT count(*) FROM seat_matrix), "
                                       "(SELECT count(*) FROM seat_category), (SELECT sum(fare) FROM customer) FROM dual");
        return QStringLiteral("%1|%2|%3|%4").arg(r.value(0).toInt()).arg(r.value(1).toInt()).arg(r.value(2).toInt())
            .arg(r.value(3).toDouble());
    }
};

TEST_P(FareCategories, AFamilyPaysEachSeatsShareAndTheTicketNamesTheCategories)
{
    std::shared_ptr<PendingBooking> b = pending();
    ASSERT_NE(b, nullptr);
    const qint16 adult = b->fare() / 3;
    // typed wrong: told, the box named, the booking still open and nothing written
    struct Typed {
        const char *category, *age, *told;
    };
    const Typed typed[] = {
        {"child", "13", "the age of a passenger of category child is 5 to 12 "},
        {"child", "4.9", "the age of a passenger of category child is 5 to 12 "},
        {"child", "", "the age of a passenger of category child is 5 to 12 "},
        {"infant", "2", "there is no fare category infant "},
    };
    for (const Typed &t : typed) {
        SCOPED_TRACE(t.told);
        const CustomerSaveOutcome o = save(*b, family(*b, t.category, t.age));
        EXPECT_FALSE(o.saved);
        EXPECT_EQ(noticeTexts(o.notices), QStringLiteral("Seat %1: %2|Error").arg(b->seats()[1]).arg(QLatin1String(t.told)));
        EXPECT_EQ(o.focus, Focus::SeatCategories);
        EXPECT_TRUE(b->transaction.isOpen());
    }
    const CustomerSaveOutcome o = save(*b, family(*b));
    ASSERT_TRUE(o.saved) << noticeTexts(o.notices).toStdString();
    const qint16 child = CInt(adult * 0.5), senior = CInt(adult * 0.625);
    EXPECT_EQ(b->request.Fare, adult + child + senior);
    const QString cid = QString::number(b->request.CustomerId);
    EXPECT_DOUBLE_EQ(db().scalar("SELECT fare FROM customer WHERE customer_id = " + cid).toDouble(), adult + child + senior);
    EXPECT_DOUBLE_EQ(db().scalar("SELECT sum(fare) FROM seat_category WHERE customer_id = " + cid).toDouble(), child + senior);

    const reports::CustomerTicketOutcome t = reports::customerTicket(session(), false, cid);
    ASSERT_FALSE(t.message) << t.message->text.toStdString();
    QStringList seats;
    for (data::ResultSet s = t.ticket.seats; !s.eof(); s.moveNext())
        seats << s.value(0).toString();
    const QList<qint16> n = b->seats();
    EXPECT_EQ(seats, (QStringList{QStringLiteral("%1  adult").arg(n[0]), QStringLiteral("%1  child (age 8)").arg(n[1]),
                                  QStringLiteral("%1  senior (age 61)").arg(n[2])}));

    // all adults: the fare and the rows of a booking without categories
    std::shared_ptr<PendingBooking> plain = pending(2);
    ASSERT_NE(plain, nullptr);
    const QList<qint16> p = plain->seats();
    ASSERT_TRUE(save(*plain, {{p[0], QStringLiteral("Adult"), {}}, {p[1], QStringLiteral("Adult"), {}}}).saved);
    EXPECT_EQ(plain->request.Fare, plain->fare());
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT count(*) FROM seat_category WHERE customer_id = %1")
                              .arg(plain->request.CustomerId)).toInt(),
              0);
}

// A client that lies about the categories (its own list, its own SQL) is refused by the
// database: the booking is rolled back whole.
TEST_P(FareCategories, AConcessionTheCategoryDoesNotGiveIsRefusedAndTheBookingRolledBack)
{
    struct Case {
        const char *what;
        QList<FareCategory> claimed;
        const char *childAge;
    };
    const Case cases[] = {
        {"a smaller share", {{QStringLiteral("child"), 0.4, 5, 12}, {QStringLiteral("senior"), 0.625, 60, 120}}, "8"},
        {"an age outside its range", {{QStringLiteral("child"), 0.5, 0, 99}, {QStringLiteral("senior"), 0.625, 60, 120}}, "30"},
        {"a category not on file", {{QStringLiteral("staff"), 0.1, 0, 99}, {QStringLiteral("senior"), 0.625, 60, 120}}, "30"},
    };
    const QString before = rows();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        std::shared_ptr<PendingBooking> b = pending();
        ASSERT_NE(b, nullptr);
        const CustomerSaveOutcome o = save(*b, family(*b, c.claimed[0].name.toLatin1().constData(), c.childAge), c.claimed);
        EXPECT_FALSE(o.saved);
        EXPECT_TRUE(noticeTexts(o.notices).contains(QLatin1String("Reservation Cancelled"))) << noticeTexts(o.notices).toStdString();
        EXPECT_FALSE(b->transaction.isOpen());
        EXPECT_EQ(rows(), before);
    }
}

TEST_P(FareCategories, AClerksOwnStatementsGiveNoConcessionAndChangeNothing)
{
    std::shared_ptr<PendingBooking> b = pending();
    ASSERT_NE(b, nullptr);
    ASSERT_TRUE(save(*b, family(*b)).saved);
    const QString cid = QString::number(b->request.CustomerId);
    const QList<qint16> s = b->seats();
    const QString adultSeat = QString::number(s[0]), childSeat = QString::number(s[1]);
    struct Case {
        QStringList sql;  // one transaction; refused at the last statement or at the commit
        int error;
    };
    const Case cases[] = {
        // the adult's seat made a child's after the sale
        {{"INSERT INTO seat_category VALUES (" + cid + ", " + adultSeat + ", 'child', 8, 0.5, 1)"}, 20004},
        // the concession's age rewritten (no right on the server; the file's supervisor may
        // write any table, and its rule refuses)
        {{"UPDATE seat_category SET age = 30"}, GetParam() == EngineKind::Postgres ? 1031 : 20004},
        // the child's record dropped: the fare no longer matches the seats
        {{"DELETE FROM seat_category WHERE customer_id = " + cid + " AND seat_no = " + childSeat}, 20004},
        {{"UPDATE customer SET fare = fare - 1 WHERE customer_id = " + cid}, 20004},
        // the whole booking's average given back for the child's seat
        {{" UPDATE CUSTOMER set fare = fare - ( 1* ( select (fare/(select count(*) from seat_matrix where "
          "customer_id= " + cid + " )    )  from customer where customer_id=" + cid + ") ) where customer_id = " + cid,
          "DELETE FROM seat_category WHERE customer_id = " + cid + " AND seat_no = " + childSeat,
          "DELETE FROM SEAT_MATRIX  WHERE customer_id =  " + cid + " AND seat_no = " + childSeat,
          " UPDATE Bus_instance SET free_seats = free_seats + 1  WHERE INSTANCE_ID = 70"},
         20004},
    };
    const QString before = rows();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.sql.join(QStringLiteral("; ")).toStdString());
        qint16 r = data::kExecOk;
        {
            data::Transaction tx(session(), QStringLiteral("the test's statements"));
            for (int i = 0; i < c.sql.size() && r == data::kExecOk; ++i)
                r = session().exec(c.sql[i]);
            if (r == data::kExecOk) {
                try {
                    tx.commit();
                } catch (const data::DbException &e) {
                    r = qint16(e.nativeError());
                }
            }
        }
        EXPECT_EQ(r, c.error) << session().LastExecError().toStdString();
        EXPECT_EQ(rows(), before);
    }
}

NBK_ALL_ENGINES(FareCategories);

// Run 70 of the cancellation seed: an adult's seat costs 100.
class CancelCategories : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        seedCancelRuns(db());
        for (const char *s : kCategories)
            db().exec(QString::fromLatin1(s));
    }
    double fare(int cid) { return db().scalar(QStringLiteral("SELECT fare FROM customer WHERE customer_id = %1").arg(cid)).toDouble(); }
    // What the seats left would pay: their fares as sold, 100 for an adult's.
    double seatsLeft(int cid)
    {
        return db().scalar(QStringLiteral("SELECT sum(coalesce(sc.fare, 100)) FROM seat_matrix sm LEFT JOIN seat_category sc "
                                          "ON sc.customer_id = sm.customer_id AND sc.seat_no = sm.seat_no "
                                          "WHERE sm.customer_id = %1").arg(cid))
            .toDouble();
    }
};

TEST_P(CancelCategories, APartialCancellationGivesBackTheCancelledSeatsOwnFares)
{
    struct Case {
        int cid;
        bool slabs;  // 10% retained from 72 hours before
        QList<qint16> cancels;  // k of each cancellation, in turn
    };
    const Case cases[] = {{601, false, {1, 1, 0}}, {602, true, {2, 0}}, {603, false, {0}}};
    int seat = 1;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.cid);
        db().exec("DELETE FROM cancel_slab");
        if (c.slabs)
            db().exec("INSERT INTO cancel_slab VALUES (TO_DATE('01-01-2020 00:00:00','DD-MM-YYYY HH24:MI:SS'), 72, 0.1)");
        // an adult, a child at 50 and a senior at 62 (62.5 to the even neighbour)
        const QList<int> seats = {seat, seat + 1, seat + 2};
        seat += 3;
        bookForCancel(db(), c.cid, 70, seats, 212);
        db().exec(QStringLiteral("INSERT INTO seat_category VALUES (%1, %2, 'child', 8, 0.5, 50)").arg(c.cid).arg(seats[1]));
        db().exec(QStringLiteral("INSERT INTO seat_category VALUES (%1, %2, 'senior', 61, 0.625, 62)").arg(c.cid).arg(seats[2]));
        for (qint16 k : c.cancels) {
            const double before = fare(c.cid);
            QString asked;
            const CancelOutcome o = CancelReservation(QString::number(c.cid), k, [&](const Notice &q) {
                asked = q.text;
                return true;
            });
            ASSERT_GT(o.cancelled, 0) << noticeTexts(o.notices).toStdString();
            const double returned = k == 0 ? before : before - fare(c.cid);
            if (k != 0) {
                EXPECT_DOUBLE_EQ(fare(c.cid), seatsLeft(c.cid));
            }
            // each seat named with its category
            EXPECT_TRUE(asked.contains(QStringLiteral(" (child)")) || asked.contains(QStringLiteral(" (senior)"))
                        || asked.contains(QStringLiteral(" (adult)")))
                << asked.toStdString();
            const double back = c.slabs ? returned * 0.9 : returned;
            const QString refund = back == std::floor(back) ? QString::number(back) : QString::number(back, 'f', 2);
            EXPECT_TRUE(asked.endsWith(QStringLiteral("Amount to refund: \u20B9 ") + refund)) << asked.toStdString();
            EXPECT_EQ(db().scalar(QStringLiteral("SELECT count(*) FROM seat_category sc WHERE NOT EXISTS (SELECT 1 FROM "
                                                 "seat_matrix sm WHERE sm.customer_id = sc.customer_id AND sm.seat_no = "
                                                 "sc.seat_no)")).toInt(),
                      0);
        }
        EXPECT_EQ(db().scalar(QStringLiteral("SELECT count(*) FROM customer WHERE customer_id = %1").arg(c.cid)).toInt(), 0);
    }
}

NBK_ALL_ENGINES(CancelCategories);

}  // namespace
