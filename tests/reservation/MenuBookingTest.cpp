#include "ScreenFixture.h"

#include "reservation/screens/Instances.h"
#include "reservation/screens/frmCustomer.h"
#include "reservation/screens/frmPlaces.h"
#include "common/ReservationState.h"

#include <QLabel>
#include <QLocale>

using namespace nbk;
using namespace nbk::test;
using nbk::test::MessageScript;

namespace {

class MenuBooking : public ScreenTest {
protected:
    bool withDemoData() const override { return true; }

    // Two seats on 27 October at the given time, asked a week ahead.
    static Request twoSeats(const char *from, const char *to, const char *hour, const char *minute)
    {
        setFixedNow(QDateTime(QDate(2030, 10, 20), QTime(8, 0)));
        Request r;
        r.date = QDate(2030, 10, 27);
        r.hour = QLatin1String(hour);
        r.minute = QLatin1String(minute);
        r.from = QLatin1String(from);
        r.to = QLatin1String(to);
        r.seats = 2;
        return r;
    }
};

// The clerk's whole road on the demonstration network, with the screen's opening values:
// Arsikere to Shimoga today (20 October) at 10:00, one Semi - Luxury seat.
TEST_P(MenuBooking, OpeningValuesBookASeatFromArsikereToShimoga)
{
    setFixedNow(QDateTime(QDate(2030, 10, 20), QTime(8, 0)));
    QWidget *request = openScreen(QStringLiteral("frmReservation"));
    ASSERT_NE(request, nullptr);
    click(request, "cmdNext");

    // "Arsi" and "Shim" are not full names: the clerk confirms Arsikere and Shimoga
    auto *places = findScreenAs<frmPlaces>(QStringLiteral("frmPlaces"));
    ASSERT_NE(places, nullptr);
    EXPECT_EQ(places->cmbFrom->currentText(), QStringLiteral("Arsikere"));
    EXPECT_EQ(places->cmbTo->currentText(), QStringLiteral("Shimoga"));
    click(places, "cmdNext");

    // no run yet: the 06:00 run from Bangalore passes Arsikere at 10:07, which is offered
    const QStringList asked = MessageScript::texts();
    ASSERT_EQ(asked.size(), 1) << asked.join('|').toStdString();
    EXPECT_TRUE(asked.front().startsWith(QStringLiteral(" A route which services the request")));
    auto *choice = findScreenAs<Instances>(QStringLiteral("Instances"));
    ASSERT_NE(choice, nullptr);
    ASSERT_EQ(choice->cmbInstance->count(), 1);
    EXPECT_TRUE(choice->cmbInstance->itemText(0).endsWith(QStringLiteral(" departing Arsi at 10:07:00 Hrs ")));
    choice->cmbInstance->setCurrentIndex(0);
    click(choice, "ok");
    EXPECT_EQ(MessageScript::texts().last(), QStringLiteral("Reservation Successful"));

    auto *customer = findScreenAs<frmCustomer>(QStringLiteral("frmCustomer"));
    ASSERT_NE(customer, nullptr);
    customer->txtname->setText(QStringLiteral("Ravi D'Souza"));
    customer->phone->setText(QStringLiteral("9845012345"));
    customer->txtage->setText(QStringLiteral("35"));
    click(customer, "Command1");
    EXPECT_EQ(MessageScript::headlines().last(), QStringLiteral("Update complete."));
    EXPECT_EQ(findScreen(QStringLiteral("frmCustomer")), nullptr);
    EXPECT_EQ(findScreen(QStringLiteral("frmReservation")), nullptr);
    EXPECT_FALSE(session().IsInTransaction());

    // committed: another connection sees the run, the customer and the seat
    data::ResultSet run = db().query(QStringLiteral(
        "SELECT instance_id, bus_id, To_char(dep_date,'mm-dd-yyyy hh24:mi:ss'), free_seats, total_seats "
        "FROM bus_instance bi, bus_info b WHERE b.registration = bi.registration"));
    ASSERT_FALSE(run.eof());
    const int instance = run.value(0).toInt();
    EXPECT_EQ(run.value(1).toInt(), 1);
    EXPECT_EQ(run.value(2).toString(), QStringLiteral("10-20-2030 06:00:00"));
    EXPECT_EQ(run.value(3).toInt(), run.value(4).toInt() - 1);
    run.moveNext();
    EXPECT_TRUE(run.eof()) << "one run only";

    data::ResultSet c = db().query(QStringLiteral(
        "SELECT customer_id, instance_id, To_char(journey_date,'mm-dd-yyyy hh24:mi:ss'), name, age, phone, gender, "
        "origin, destin, fare FROM customer"));
    ASSERT_FALSE(c.eof());
    const int customerId = c.value(0).toInt();
    EXPECT_EQ(c.value(1).toInt(), instance);
    EXPECT_EQ(c.value(2).toString(), QStringLiteral("10-20-2030 10:07:00"));
    EXPECT_EQ(c.value(3).toString(), QStringLiteral("Ravi D'Souza"));
    EXPECT_EQ(c.value(4).toInt(), 35);
    EXPECT_EQ(c.value(5).toLongLong(), 9845012345LL);
    EXPECT_EQ(c.value(6).toString(), QStringLiteral("M"));
    EXPECT_EQ(c.value(7).toString(), QStringLiteral("Arsi"));
    EXPECT_EQ(c.value(8).toString(), QStringLiteral("Shim"));
    // 140 km: 140 x 0.35 = 49, 140 x 0.8 + 49 = 161, plus the class base 20
    EXPECT_EQ(c.value(9).toInt(), 181);

    data::ResultSet seat = db().query(QStringLiteral(
        "SELECT instance_id, seat_no, route_sequence1, route_sequence2, customer_id FROM seat_matrix"));
    ASSERT_FALSE(seat.eof());
    EXPECT_EQ(seat.value(0).toInt(), instance);
    EXPECT_EQ(seat.value(1).toInt(), 1);
    EXPECT_EQ(seat.value(2).toInt(), 3);
    EXPECT_EQ(seat.value(3).toInt(), 4);
    EXPECT_EQ(seat.value(4).toInt(), customerId);
    seat.moveNext();
    EXPECT_TRUE(seat.eof());

    // the database's own record: placeholder, seat and details in one commit, under the login
    const QString audit = QStringLiteral("SELECT count(%1) FROM nbk_audit WHERE customer_id = %2");
    EXPECT_EQ(db().scalar(audit.arg("*").arg(customerId) + " AND lower(login) = 'chief'").toInt(), 3);
    EXPECT_EQ(db().scalar(audit.arg("DISTINCT txid").arg(customerId)).toInt(), 1);
}

// A second clerk's request for the same journey finds the run made for the first.
TEST_P(MenuBooking, SecondRequestBooksTheRunAlreadyMade)
{
    const Request r = twoSeats("Arsikere", "Shimoga", "10", "07");
    submit(r);
    // the plan's 06:00 run reaches Arsikere at 10:06:40 (asked about), and at 10:07 by
    // the search's whole minutes: made and booked at once
    ASSERT_EQ(MessageScript::texts().size(), 2);
    EXPECT_TRUE(MessageScript::texts().front().startsWith(QStringLiteral(" A route which services the request")));
    EXPECT_EQ(MessageScript::texts().last(), QStringLiteral("Reservation Successful"));
    auto *customer = findScreenAs<frmCustomer>(QStringLiteral("frmCustomer"));
    ASSERT_NE(customer, nullptr);
    click(customer, "Command2");
    EXPECT_FALSE(session().IsInTransaction());
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT count(*) FROM seat_matrix")).toInt(), 0);

    MessageScript::clearShown();
    submit(r);
    EXPECT_EQ(MessageScript::texts(), QStringList{QStringLiteral("Reservation Successful")});
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT count(*) FROM bus_instance")).toInt(), 1);
    EXPECT_EQ(sessionScalar(QStringLiteral("SELECT count(*) FROM seat_matrix")).toInt(), 2);
}

// From "Bangalore" to "Mangalore" books Mangalore (not Mandya, the first candidate), and
// the customer screen shows, before Ok, the journey that Ok stores.
TEST_P(MenuBooking, FullNamesBookThosePlacesAndTheCustomerScreenShowsWhatIsStored)
{
    submit(twoSeats("Bangalore", "Mangalore", "06", "30"));
    auto *places = findScreenAs<frmPlaces>(QStringLiteral("frmPlaces"));
    ASSERT_NE(places, nullptr);
    EXPECT_EQ(places->cmbTo->itemText(0), QStringLiteral("Mandya"));
    EXPECT_EQ(places->cmbTo->currentText(), QStringLiteral("Mangalore"));
    click(places, "cmdNext");

    auto *customer = findScreenAs<frmCustomer>(QStringLiteral("frmCustomer"));
    ASSERT_NE(customer, nullptr) << MessageScript::texts().join('|').toStdString();
    QStringList shown;
    for (const char *name : {"lblFrom", "lblTo", "lblDeparts", "lblRun", "lblSeats", "lblFare"})
        shown << child<QLabel>(customer, name)->text();
    customer->txtname->setText(QStringLiteral("Asha"));
    customer->phone->setText(QStringLiteral("9845012345"));
    customer->txtage->setText(QStringLiteral("30"));
    click(customer, "Command1");
    ASSERT_EQ(MessageScript::headlines().last(), QStringLiteral("Update complete."));

    data::ResultSet c = db().query(QStringLiteral(
        "SELECT c.origin, c.destin, To_char(c.journey_date,'mm-dd-yyyy hh24:mi:ss'), c.instance_id, bi.bus_id, c.fare, "
        "c.customer_id FROM customer c, bus_instance bi WHERE bi.instance_id = c.instance_id"));
    ASSERT_FALSE(c.eof());
    EXPECT_EQ(c.value(0).toString(), QStringLiteral("Bang"));
    EXPECT_EQ(c.value(1).toString(), QStringLiteral("Mang"));
    const QDateTime departs = QDateTime::fromString(c.value(2).toString(), QStringLiteral("MM-dd-yyyy HH:mm:ss"));
    QStringList seats;
    for (data::ResultSet sm = db().query(QStringLiteral("SELECT seat_no FROM seat_matrix WHERE customer_id = %1 "
                                                        "ORDER BY seat_no")
                                             .arg(c.value(6).toInt()));
         !sm.eof(); sm.moveNext())
        seats << sm.value(0).toString();
    EXPECT_EQ(shown, (QStringList{QStringLiteral("Bangalore (Bang)"), QStringLiteral("Mangalore (Mang)"),
                                  QLocale::c().toString(departs.date(), QStringLiteral("d MMM yyyy")) + QStringLiteral(" 06:30"),
                                  QStringLiteral("%1 (route %2)").arg(c.value(3).toInt()).arg(c.value(4).toInt()),
                                  seats.join(QStringLiteral(", ")), QString::number(c.value(5).toInt())}));
}

NBK_ALL_ENGINES(MenuBooking);

}  // namespace
