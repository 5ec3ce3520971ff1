// A clerk's day at a counter with concessions and cancellation charges, through the
// screens: a family booked at its fares on window seats picked on the bus's layout (the
// grandparent on a front seat kept for senior citizens), one seat cancelled two days before
// departure with its charge shown first and retained, and the shift closed against the trail.
#include "data/session/Class1.h"
#include "operations/screens/Screens.h"
#include "operations/screens/frmCancel.h"
#include "reports/DayStatementQueries.h"
#include "reports/ShiftClose.h"
#include "reports/screens/ReportWindow.h"
#include "reports/screens/Screens.h"
#include "reports/screens/ShiftClose.h"
#include "reservation/screens/Screens.h"
#include "reservation/screens/frmCustomer.h"
#include "support/MessageScript.h"
#include "support/Procedures.h"
#include "support/TestDatabase.h"
#include "ui/MsgBox.h"
#include "ui/ScreenRegistry.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>

using namespace nbk;
using namespace nbk::test;
using test::MessageScript;

namespace {

class CounterDay : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        if (IsSkipped())
            return;
        seedRouteABCD();
        // a seat costs 100 whatever the distance; the run leaves in 50 hours
        db().exec({"UPDATE class_type SET base = 100, multiplier = 0 WHERE class = 2",
                   "UPDATE fuel_index SET multiplier = 0", "UPDATE bus_instance SET dep_date = nbk_trail_now() + 50.5/24",
                   "INSERT INTO fare_category VALUES ('child', 0.5, 5, 12)",
                   "INSERT INTO fare_category VALUES ('senior', 0.6, 60, 120)",
                   "INSERT INTO cancel_slab VALUES (TO_DATE('01-01-2020 00:00:00','DD-MM-YYYY HH24:MI:SS'), 72, 0.1)",
                   "INSERT INTO cancel_slab VALUES (TO_DATE('01-01-2020 00:00:00','DD-MM-YYYY HH24:MI:SS'), 24, 0.25)",
                   "INSERT INTO cancel_slab VALUES (TO_DATE('01-01-2020 00:00:00','DD-MM-YYYY HH24:MI:SS'), 0, 0.5)",
                   // four across, the aisle in the middle; seat 1 kept for senior citizens
                   "INSERT INTO seat_layout VALUES (2, 10, 4, 2, 60, 30)", "INSERT INTO seat_mark VALUES (2, 1, 'senior')"});
        reservation::registerScreens();
        operations::registerScreens();
        reports::registerScreens();
        // the day is a clerk's
        supervisor_ = std::move(session_);
        session_ = db().login(QStringLiteral("clerk1"));
        DbSession = session_.get();
    }
    void TearDown() override
    {
        for (const char *name : {"frmCustomer", "frmCancel", "ShiftClose"})
            closeScreen(QString::fromLatin1(name));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        supervisor_.reset();
        DbTest::TearDown();
    }
    std::unique_ptr<data::Class1> supervisor_;
};

TEST_P(CounterDay, AFamilyBookedOneSeatCancelledWithItsChargeAndTheShiftClosedAgainstTheTrail)
{
    // four seats from A to D, the details screen open
    reservation::ReservationState request;
    request.OriginPlace = QStringLiteral("A");
    request.DestinationPlace = QStringLiteral("D");
    request.ClassIndex = 2;
    request.SeatsRequested = 4;
    request.JourneyDateText = db().scalar("SELECT To_char(dep_date,'mm-dd-yyyy hh24:mi:ss') FROM bus_instance").toString();
    session().SetupInstanceDetails();
    data::Command &c = session().SQLcmdGetInstanceDetails();
    c.setValue(0, request.OriginPlace);
    c.setValue(1, request.DestinationPlace);
    c.setValue(2, request.ClassIndex);
    c.setValue(3, request.JourneyDateText);
    request.SearchRows = c.execute().getRows();
    ASSERT_EQ(request.SearchRows.rowCount(), 1);
    // the window seats of the first two rows
    const reservation::ReservationState booked = bookRow(request, 0, {1, 4, 5, 8});
    const qint32 cid = booked.CustomerId;
    auto *f = findScreenAs<frmCustomer>(QStringLiteral("frmCustomer"));
    ASSERT_TRUE(f && f->grdSeats) << MessageScript::texts().join('|').toStdString();

    // the grandparent on the senior citizens' seat 1, two adults, a child of eight
    const struct {
        const char *category, *age;
    } family[] = {{"senior", "68"}, {"Adult", ""}, {"Adult", ""}, {"child", "8"}};
    ASSERT_EQ(f->grdSeats->rowCount(), 4);
    for (int i = 0; i < 4; ++i) {
        qobject_cast<QComboBox *>(f->grdSeats->cellWidget(i, 1))->setCurrentText(QString::fromLatin1(family[i].category));
        f->grdSeats->item(i, 2)->setText(QString::fromLatin1(family[i].age));
    }
    f->txtname->setText(QStringLiteral("Lakshmi Rao"));
    f->phone->setText(QStringLiteral("9845012345"));
    f->txtage->setText(QStringLiteral("40"));
    MessageScript::begin();
    f->Command1->click();
    ASSERT_TRUE(MessageScript::texts().value(0).startsWith("Update complete.")) << MessageScript::texts().join('|').toStdString();
    // 100 + 100 + half of it + 60% of it
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT fare FROM customer WHERE customer_id = %1").arg(cid)).toInt(), 310);
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT count(*) FROM seat_matrix WHERE customer_id = %1 AND seat_no IN (1, 4, 5, 8)")
                              .arg(cid))
                  .toInt(),
              4);

    // one seat, the grandparent's, two days (50 hours) before departure: a quarter of its 60
    auto *cancel = qobject_cast<frmCancel *>(openScreen(QStringLiteral("frmCancel")));
    ASSERT_TRUE(cancel);
    MessageScript::begin({mb::Yes, mb::OK});
    cancel->txtcid->setText(QString::number(cid));
    cancel->cmbseats->setCurrentIndex(1);
    cancel->cmdCancel->click();
    ASSERT_GE(MessageScript::texts().size(), 2) << MessageScript::texts().join('|').toStdString();
    EXPECT_TRUE(MessageScript::texts()[0].endsWith(
        QStringLiteral("Seats to cancel: 1 (senior) (1 of 4 seats)\r\nFare of these seats: \u20B9 60\r\n"
                       "Cancellation charge: \u20B9 15 (25% at 50 hours before departure)\r\nAmount to refund: \u20B9 45")))
        << MessageScript::texts()[0].toStdString();
    EXPECT_EQ(MessageScript::texts()[1], "1 seats deleted");
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT fare FROM customer WHERE customer_id = %1").arg(cid)).toInt(), 250);
    EXPECT_NE(report::ReportWindow::find(QStringLiteral("RefundSlip")), nullptr);
    const reports::DayStatementData day =
        reports::dayStatement(session(), reports::statementRights(session()).rights.today, QString()).statement;
    EXPECT_DOUBLE_EQ(day.taken, 310);
    EXPECT_DOUBLE_EQ(day.refunded, 45);
    EXPECT_DOUBLE_EQ(day.retained, 15);

    // the cash: 200 + 50 + 10 + 5 = 265, what was taken less what was refunded
    auto *close = qobject_cast<ShiftClose *>(openScreen(QStringLiteral("ShiftClose")));
    ASSERT_TRUE(close);
    for (int i = 0; i < close->txtCount.size(); ++i)
        close->txtCount[i]->setValue(QList<int>{200, 50, 10, 5}.contains(reports::kDenominations[i]) ? 1 : 0);
    MessageScript::begin({mb::Yes, mb::OK});
    close->Command1->click();
    ASSERT_EQ(MessageScript::texts().size(), 2) << MessageScript::texts().join('|').toStdString();
    EXPECT_TRUE(MessageScript::texts()[1].endsWith(QStringLiteral("counted \u20B9 265, difference \u20B9 0")))
        << MessageScript::texts()[1].toStdString();
    EXPECT_EQ(close->grdCloses->rowCount(), 1);
    // the supervisor sees the clerk's close of the day
    const std::vector<reports::ShiftCloseRow> closes = reports::shiftCloses(*supervisor_, day.day);
    ASSERT_EQ(closes.size(), 1u);
    EXPECT_EQ(closes[0].login.toLower(), "clerk1");
    EXPECT_DOUBLE_EQ(closes[0].expected, 265);
    EXPECT_DOUBLE_EQ(closes[0].difference, 0);
}

NBK_ALL_ENGINES(CounterDay);

}  // namespace
