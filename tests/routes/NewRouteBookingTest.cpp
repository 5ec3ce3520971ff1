// The supervisor's road from the menu: a route added through the wizard inside the main
// window is bookable at once through a run made from its timetable.
#include "ui/ShellFixture.h"

#include "common/Clock.h"
#include "reservation/screens/Instances.h"
#include "reservation/screens/frmCustomer.h"
#include "routes/screens/RouteMap.h"
#include "routes/screens/SetClass.h"
#include "routes/screens/SetFrequency.h"
#include "routes/StoreSchedule.h"
#include "routes/screens/frmAddRoute.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QMdiSubWindow>

using namespace nbk;
using namespace nbk::test;

namespace {

class NewRouteBooking : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        // Monday 4 March 2030; the journey is on Wednesday
        setFixedNow(QDateTime(QDate(2030, 3, 4), QTime(8, 0)));
        db().exec({"INSERT INTO bus_info VALUES ('KA01', 2, 40)"});
    }
    void TearDown() override
    {
        setFixedNow(QDateTime());
        ShellTest::TearDown();
    }

    static bool visibleInFrame(QWidget *w)
    {
        auto *sub = w ? qobject_cast<QMdiSubWindow *>(w->parentWidget()) : nullptr;
        return sub && sub->isVisible();
    }
};

TEST_P(NewRouteBooking, RouteAddedFromTheMenuIsFoundAndBookedThroughANewRun)
{
    logIn(QStringLiteral("chief"), QStringLiteral("nb"));
    ASSERT_TRUE(IsConnected);
    menu("mnuRouteRouteAdd")->trigger();
    auto *f = findScreenAs<frmAddRoute>(QStringLiteral("frmAddRoute"));
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(visibleInFrame(f));
    EXPECT_EQ(f->windowTitle(), QStringLiteral("Add New Route"));
    for (const char *city : {"Bangalore", "Tumkur"})
        f->map->findChild<QAbstractButton *>(QString::fromLatin1(city))->click();
    f->txtr->setText(f->txtr->text() + QStringLiteral(",Arsikere"));
    f->txtk->setText(QStringLiteral("70,105"));
    f->Text2->setText(QStringLiteral("10"));
    f->Text4->setText(QStringLiteral("50"));
    f->ok->click();

    SetFrequency *freq = f->frequency();
    ASSERT_TRUE(visibleInFrame(freq)) << MessageScript::texts().join('|').toStdString();
    EXPECT_FALSE(visibleInFrame(f));
    freq->DayCheck[7]->setChecked(true);
    freq->DayDetail[21]->setEditText(QStringLiteral("60"));
    freq->DayDetail[22]->setCurrentIndex(6);
    freq->Command2->click();
    SetClass *classes = f->classes();
    ASSERT_TRUE(visibleInFrame(classes));
    classes->Check1[size_t(routes::classBox(2, 8))]->setChecked(true);
    MessageScript::clearShown();
    classes->Command1->click();
    ASSERT_EQ(MessageScript::texts(), QStringList{QStringLiteral("Addition of New Route 101 Complete. ")});
    flush();
    EXPECT_EQ(findScreen(QStringLiteral("frmAddRoute")), nullptr);
    EXPECT_EQ(findScreen(QStringLiteral("SetClass")), nullptr);

    // Wednesday 6 March at 07:00 from Bangalore to Arsikere, one Semi - Luxury seat
    MessageScript::begin({mb::Yes});
    menu("mnuReserveReserve")->trigger();
    QWidget *r = findScreen(QStringLiteral("frmReservation"));
    ASSERT_NE(r, nullptr);
    r->findChild<QLineEdit *>(QStringLiteral("txtDD"))->setText(QStringLiteral("6"));
    r->findChild<QComboBox *>(QStringLiteral("cmbMonth"))->setCurrentIndex(2);
    auto *year = r->findChild<QComboBox *>(QStringLiteral("cmbYear"));
    year->setCurrentIndex(year->findText(QStringLiteral("2030")));
    r->findChild<QLineEdit *>(QStringLiteral("txthh"))->setText(QStringLiteral("7"));
    r->findChild<QLineEdit *>(QStringLiteral("txtmin"))->setText(QStringLiteral("0"));
    r->findChild<QComboBox *>(QStringLiteral("cmbClass"))->setCurrentIndex(2);
    r->findChild<QComboBox *>(QStringLiteral("cmbSeats"))->setCurrentIndex(0);
    r->findChild<QLineEdit *>(QStringLiteral("txtFrom"))->setText(QStringLiteral("Bangalore"));
    r->findChild<QLineEdit *>(QStringLiteral("txtTo"))->setText(QStringLiteral("Arsikere"));
    r->findChild<QPushButton *>(QStringLiteral("cmdNext"))->click();
    flush();

    if (auto *choice = findScreenAs<Instances>(QStringLiteral("Instances"))) {
        ASSERT_GE(choice->cmbInstance->count(), 1);
        choice->cmbInstance->setCurrentIndex(0);
        choice->findChild<QPushButton *>(QStringLiteral("ok"))->click();
        flush();
    }
    ASSERT_TRUE(MessageScript::texts().contains(QStringLiteral("Reservation Successful")))
        << MessageScript::texts().join('|').toStdString();
    auto *customer = findScreenAs<frmCustomer>(QStringLiteral("frmCustomer"));
    ASSERT_NE(customer, nullptr);
    customer->txtname->setText(QStringLiteral("Asha"));
    customer->phone->setText(QStringLiteral("98450"));
    customer->txtage->setText(QStringLiteral("30"));
    customer->findChild<QPushButton *>(QStringLiteral("Command1"))->click();
    EXPECT_EQ(MessageScript::headlines().last(), QStringLiteral("Update complete."));

    // the run is the new route's, made from its timetable: 07:00 from Bangalore
    data::ResultSet run = db().query(QStringLiteral(
        "SELECT bus_id, To_char(dep_date,'mm-dd-yyyy hh24:mi:ss'), free_seats FROM bus_instance"));
    ASSERT_FALSE(run.eof());
    EXPECT_EQ(run.value(0).toInt(), 101);
    EXPECT_EQ(run.value(1).toString(), QStringLiteral("03-06-2030 07:00:00"));
    EXPECT_EQ(run.value(2).toInt(), 39);
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT route_sequence1 || '-' || route_sequence2 FROM seat_matrix")).toString(),
              QStringLiteral("1-2"));
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT origin || '-' || destin FROM customer")).toString(),
              QStringLiteral("Bang-Arsi"));
}

NBK_ALL_ENGINES(NewRouteBooking);

}  // namespace
