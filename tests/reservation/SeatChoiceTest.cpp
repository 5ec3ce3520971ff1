// The seat choice on the run's layout, driven by keys as a clerk at the counter would:
// arrows move over the open seats, Space picks, Enter books; Enter alone books the lowest
// seats any passenger may have (not a kept seat, which the database would refuse at Ok).
#include "ScreenFixture.h"

#include "reservation/screens/frmCustomer.h"
#include "reservation/screens/frmSeats.h"

#include <QAbstractButton>
#include <QTest>

using namespace nbk;
using namespace nbk::test;

namespace {

class SeatChoiceScreen : public ScreenTest {
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        seedRouteABCD();
        // run 70 leaves A at 10:00 on the journey day; seat 2 is held from A to D; class 2
        // sits four across with seat 1 kept for women
        const QString dep = at(journeyDay(), 10, 0);
        for (const QString &sql :
             {QStringLiteral("UPDATE bus_instance SET dep_date = %1, free_seats = 39 WHERE instance_id = 70").arg(dep),
              QStringLiteral("INSERT INTO customer VALUES (501, 70, %1, 'Ravi', 30, '98450', 'M', 'A', 'D', 0)").arg(dep),
              QStringLiteral("INSERT INTO seat_matrix VALUES (70, 2, 1, 3, 501, 'r')"),
              QStringLiteral("INSERT INTO seat_layout VALUES (2, 10, 4, 2, 60, 30)"),
              QStringLiteral("INSERT INTO seat_mark VALUES (2, 1, 'women')")})
            db().exec(sql);
    }
};

TEST_P(SeatChoiceScreen, KeysPickTheSeatsAndEnterBooksThem)
{
    struct Case {
        const char *what;
        QList<Qt::Key> keys;
        QList<qint16> booked;
    };
    const Case cases[] = {
        {"Enter alone: the lowest open seats, not the women's", {}, {3, 4}},
        {"past the held seat, then down a row; a third pick is refused",
         {Qt::Key_Right, Qt::Key_Space, Qt::Key_Down, Qt::Key_Space, Qt::Key_Right, Qt::Key_Space},
         {3, 7}},
        {"the edge stops the arrow; a pick taken back",
         {Qt::Key_Left, Qt::Key_Space, Qt::Key_Space, Qt::Key_Down, Qt::Key_Down, Qt::Key_Space},
         {9, 1}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Request r;
        r.date = journeyDay();
        r.from = QStringLiteral("Aa");
        r.to = QStringLiteral("Dd");
        r.seats = 2;
        submit(r);
        auto *seats = findScreenAs<frmSeats>(QStringLiteral("frmSeats"));
        ASSERT_NE(seats, nullptr) << MessageScript::texts().join('|').toStdString();
        EXPECT_FALSE(seats->seatButton(2)->isEnabled());
        EXPECT_EQ(seats->seatButton(1)->text(), QStringLiteral("1 W"));
        for (Qt::Key k : c.keys)
            QTest::keyClick(seats->focusWidget(), k);
        QTest::keyClick(seats->focusWidget(), Qt::Key_Return);
        auto *customer = findScreenAs<frmCustomer>(QStringLiteral("frmCustomer"));
        ASSERT_NE(customer, nullptr) << MessageScript::texts().join('|').toStdString();
        EXPECT_EQ(customer->booking()->seats(), c.booked);
        click(customer, "Command2");
        closeScreen(QStringLiteral("frmReservation"));
        deleteLeftoverScreens();
    }
}

NBK_ALL_ENGINES(SeatChoiceScreen);

}  // namespace
