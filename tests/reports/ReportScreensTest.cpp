#include "reports/screens/Screens.h"
#include "ui/ScreenRegistry.h"
#include "data/session/Class1.h"
#include "reports/screens/ARF.h"
#include "reports/BuildSeatChart.h"
#include "reports/screens/BusMatrix.h"
#include "reports/ReportsFixture.h"
#include "reports/screens/RouteTest.h"
#include "reports/screens/ShiftClose.h"
#include "reports/TicketQueries.h"
#include "reports/screens/ReportWindow.h"

#include <QCoreApplication>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTableWidget>
#include <QPushButton>

using namespace nbk;
using namespace nbk::test;
using namespace nbk::reports;

namespace {

class ReportScreens : public ReportsTest {
protected:
    void SetUp() override
    {
        ReportsTest::SetUp();
        nbk::reports::registerScreens();
    }
    void TearDown() override
    {
        for (const char *w : {"BusMatrix", "RouteTest", "ARF", "SeatMatrix", "RouteDetails", "AR", "ShiftClose"})
            closeScreen(QString::fromLatin1(w));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ReportsTest::TearDown();
    }
    template <class T>
    T *open(const char *name)
    {
        return qobject_cast<T *>(openScreen(QString::fromLatin1(name)));
    }
    static QStringList texts(const char *window)
    {
        const report::ReportWindow *w = report::ReportWindow::find(QString::fromLatin1(window));
        return w ? w->report().texts() : QStringList();
    }
};

TEST_P(ReportScreens, ShiftCloseCountsTheNotesAndListsTheCloseOnceAgreed)
{
    auto *w = open<ShiftClose>("ShiftClose");
    ASSERT_TRUE(w);
    ASSERT_EQ(w->txtCount.size(), 10);
    w->txtCount[1]->setValue(2);  // two notes of 500
    w->txtCount[9]->setValue(3);  // three coins of 1
    EXPECT_EQ(w->lblCounted->text(), QStringLiteral("Counted: \u20B9 1003"));
    MessageScript::begin({mb::No});
    w->Command1->click();
    EXPECT_EQ(w->grdCloses->rowCount(), 0);
    MessageScript::begin({mb::Yes, mb::OK});
    w->Command1->click();
    ASSERT_EQ(MessageScript::texts().size(), 2) << MessageScript::texts().join('\n').toStdString();
    EXPECT_TRUE(MessageScript::texts()[1].endsWith(QStringLiteral("counted \u20B9 1003, difference \u20B9 1003")));
    EXPECT_EQ(w->grdCloses->rowCount(), 1);
    EXPECT_EQ(w->txtCount[1]->value(), 0);
    // the list follows the day chosen
    w->txtDay->setDate(w->txtDay->date().addDays(-1));
    EXPECT_EQ(w->grdCloses->rowCount(), 0);
    w->txtDay->setDate(w->txtDay->date().addDays(1));
    EXPECT_EQ(w->grdCloses->rowCount(), 1);
}

TEST_P(ReportScreens, SeatMatrixShowsTheChartAndClosesItsScreenButStaysOnAMessage)
{
    book(900, 50, {1}, 2, 2);
    auto *m = open<BusMatrix>("BusMatrix");
    ASSERT_TRUE(m);
    EXPECT_EQ(m->windowTitle(), QStringLiteral("Bus Matrix"));
    m->txtIID->setText(QStringLiteral("49"));
    m->Command1->click();
    EXPECT_EQ(MessageScript::texts(), QStringList{QStringLiteral(" Invalid Instance Id")});
    ASSERT_EQ(findScreen(QStringLiteral("BusMatrix")), m);
    m->txtIID->setText(QStringLiteral("50"));
    m->Command1->click();
    EXPECT_EQ(findScreen(QStringLiteral("BusMatrix")), nullptr);
    const QStringList t = texts("SeatMatrix");
    EXPECT_EQ(report::ReportWindow::find(QStringLiteral("SeatMatrix"))->windowTitle(), QStringLiteral("SeatMatrix"));
    for (const char *stop : {"Mysore", "Mandya", "Bangalore", "900"})
        EXPECT_TRUE(t.contains(QString::fromLatin1(stop))) << stop;
    EXPECT_TRUE(t.contains(QStringLiteral("5 Mar 2030")));
    EXPECT_EQ(t.count(QStringLiteral("All Free")), 49);
}

TEST_P(ReportScreens, RouteMapAndAccidentScreensStayOpenAndRefillTheirReports)
{
    book(1001, 50, {4}, 1, 2, QStringLiteral("Asha"));
    auto *r = open<RouteTest>("RouteTest");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->windowTitle(), QStringLiteral("Route Map"));
    r->Text1->setText(QStringLiteral("5"));
    r->Ok->click();
    EXPECT_TRUE(texts("RouteDetails").contains(QStringLiteral("Mysore-Mandya-Bangalore")));
    r->Text1->setText(QStringLiteral("6"));
    r->Ok->click();
    EXPECT_TRUE(texts("RouteDetails").contains(QStringLiteral("Mandya-Bangalore")));
    EXPECT_FALSE(texts("RouteDetails").contains(QStringLiteral("Mysore-Mandya-Bangalore")));
    EXPECT_EQ(findScreen(QStringLiteral("RouteTest")), r);

    auto *a = open<ARF>("ARF");
    ASSERT_TRUE(a);
    EXPECT_EQ(a->windowTitle(), QStringLiteral("AccResFo"));
    a->Text1->setText(QStringLiteral("KA09"));
    a->Command1->click();
    EXPECT_TRUE(texts("AR").contains(QStringLiteral("Asha")));
    a->Text1->setText(QStringLiteral("ZZ99"));
    a->Command1->click();
    EXPECT_EQ(MessageScript::texts().value(0), QStringLiteral("This vehicle was not found in our database"));
    EXPECT_EQ(findScreen(QStringLiteral("ARF")), a);
}

TEST_P(ReportScreens, DatabaseFailureOfTheChartOrTicketEndsInAMessage)
{
    session().GetCurrentConnection().close();
    const SeatChartOutcome chart = buildSeatChart(session(), QStringLiteral("50"));
    ASSERT_TRUE(chart.message);
    EXPECT_TRUE(chart.message->text.startsWith(QStringLiteral("The report could not be read from the database: ")));
    EXPECT_FALSE(session().IsInTransaction());
    EXPECT_TRUE(customerTicket(session(), false, QStringLiteral("1001")).message->text.startsWith(
        QStringLiteral("The report could not be read")));
    EXPECT_TRUE(instanceTickets(session(), QStringLiteral("50")).message->text.startsWith(
        QStringLiteral("The report could not be read")));
}

NBK_ALL_ENGINES(ReportScreens);

}  // namespace
