// The embedded file cannot grow (a full disk, here the engine's page limit) in the
// middle of the clerk's bookings.
#include "ScreenFixture.h"

#include "reservation/screens/frmCustomer.h"

#include <QSqlQuery>

using namespace nbk;
using namespace nbk::test;

namespace {

class DiskFull : public ScreenTest {
protected:
    bool withDemoData() const override { return true; }
    QVariant pragma(const QString &sql)
    {
        QSqlQuery q(session().GetCurrentConnection().database());
        EXPECT_TRUE(q.exec(sql));
        return q.next() ? q.value(0) : QVariant();
    }
};

TEST_P(DiskFull, AFullFileIsAClearMessageAndARollbackAndEveryEarlierBookingStays)
{
    if (GetParam() != EngineKind::Embedded)
        GTEST_SKIP() << "a file of the embedded engine";
    setFixedNow(QDateTime(QDate(2030, 10, 20), QTime(8, 0)));
    // the runs exist before the file fills (a run that cannot be made is the run
    // search's own story): each day's first booking is abandoned at the customer screen
    auto request = [](int i) {
        Request r;
        r.date = QDate(2030, 10, 21).addDays(2 * (i % 10));  // two days apart: each its own run
        r.minute = QStringLiteral("07");
        r.from = QStringLiteral("Arsikere");
        r.to = QStringLiteral("Shimoga");
        return r;
    };
    for (int i = 0; i < 10; ++i) {
        submit(request(i));
        if (auto *customer = findScreen(QStringLiteral("frmCustomer")))
            click(customer, "Command2");
        for (const char *name : {"Instances", "frmPlaces", "frmReservation"})
            closeScreen(QString::fromLatin1(name));
    }
    // (days without a plan of the class get no run and are no booking either)
    ASSERT_GT(db().scalar(QStringLiteral("SELECT count(*) FROM bus_instance")).toInt(), 0);
    // no page more than the file has now
    pragma(QStringLiteral("PRAGMA max_page_count = ") + pragma(QStringLiteral("PRAGMA page_count")).toString());

    int booked = 0;
    QString refusal;
    for (int i = 0; i < 400 && refusal.isEmpty(); ++i) {
        MessageScript::clearShown();
        submit(request(i));
        if (auto *customer = findScreenAs<frmCustomer>(QStringLiteral("frmCustomer"))) {
            customer->txtname->setText(QStringLiteral("Passenger %1").arg(i));
            customer->phone->setText(QStringLiteral("9845012345"));
            customer->txtage->setText(QStringLiteral("35"));
            click(customer, "Command1");
        }
        const QString shown = MessageScript::texts().join(QLatin1Char('|'));
        if (shown.contains(QLatin1String("Update complete.")))
            ++booked;
        else if (shown.contains(QLatin1String("Reservation Successful")) || shown.contains(QLatin1String("ORA-"))
                 || shown.contains(QLatin1String("ancelled")))
            refusal = shown;
        for (const char *name : {"frmCustomer", "Instances", "frmPlaces", "frmReservation"})
            closeScreen(QString::fromLatin1(name));
    }
    ASSERT_FALSE(refusal.isEmpty()) << "the file never filled";
    EXPECT_GT(booked, 0);
    // the clerk reads that the booking did not go through, and why where the layer knows
    EXPECT_TRUE(refusal.contains(QLatin1String("ORA-01653")) || refusal.contains(QLatin1String("Reservation Cancelled"))
                || refusal.contains(QLatin1String("Reservation cancelled")))
        << refusal.toStdString();
    EXPECT_FALSE(session().IsInTransaction());
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT count(*) FROM customer WHERE name LIKE 'Passenger %'")).toInt(), booked);
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT count(*) FROM customer WHERE name = '**TEMP**'")).toInt(), 0);
    EXPECT_EQ(pragma(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
}

NBK_ALL_ENGINES(DiskFull);

}  // namespace
