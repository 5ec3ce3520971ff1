// The frequency and class screens of the route wizard: rows per ticked day and class,
// the columns offered, Back and Start over, and the commit.
#include "RouteFixture.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLayout>
#include <QScreen>

using namespace nbk;
using namespace nbk::test;

namespace {

class Schedule : public RouteTest {
protected:
    void SetUp() override
    {
        RouteTest::SetUp();
        db().exec({"INSERT INTO PLACE VALUES('Bang', 'Bangalore')", "INSERT INTO PLACE VALUES('Tumk', 'Tumkur')"});
    }

    // Route entry passed: the frequency screen is up for route 101, 102, ...
    void startRoute()
    {
        frmAddRoute *f = entry() ? entry() : openAdd();
        ASSERT_NE(f, nullptr);
        if (f->txtr->text().isEmpty())
            enter(f, QStringLiteral("Bangalore,Tumkur,Arsikere"), QStringLiteral("70,105"));
        f->ok->click();
        ASSERT_TRUE(isShown("SetFrequency")) << MessageScript::texts().join('|').toStdString();
        MessageScript::clearShown();
    }

    QStringList pending(const QString &sql)
    {
        QStringList out;
        for (data::ResultSet rs = session().GetCurrentConnection().query(sql); !rs.eof(); rs.moveNext()) {
            QStringList fields;
            for (int i = 0; i < rs.fieldCount(); ++i)
                fields << QString::number(rs.value(i).toDouble());
            out << fields.join(QLatin1Char(','));
        }
        return out;
    }

    // Class columns offered, as day numbers (8 Everyday, 7 Sunday .. 1 Monday).
    QList<int> offered()
    {
        QList<int> days;
        for (int d = 8; d >= 1; --d) {
            bool all = true, none = true;
            for (int c = 0; c < 5; ++c) {
                QCheckBox *b = classes()->Check1[size_t(routes::classBox(c, d))];
                const bool on = b->isEnabled() && !b->isHidden();
                all = all && on;
                none = none && !on;
            }
            EXPECT_TRUE(all || none) << "column " << d << " half offered";
            if (all)
                days << d;
        }
        return days;
    }
};

TEST_P(Schedule, SundayAndMondayAreStoredSundayFirstAndOnlyTheirColumnsOffered)
{
    startRoute();
    SetFrequency *f = frequency();
    EXPECT_EQ(f->DayDetail[1]->currentText() + f->DayDetail[23]->itemText(59), QStringLiteral("559"));
    f->DayCheck[6]->setChecked(true);
    f->DayDetail[18]->setEditText(QStringLiteral("7.5"));
    f->DayCheck[0]->setChecked(true);
    f->DayDetail[0]->setCurrentIndex(1);  // 30
    f->DayDetail[1]->setCurrentIndex(6);
    f->DayDetail[2]->setCurrentIndex(45);
    f->Command2->click();

    EXPECT_EQ(pending(QStringLiteral("SELECT * FROM route_frequency")),
              (QStringList{QStringLiteral("101,7,7.5,5,0"), QStringLiteral("101,1,30,6,45")}));
    EXPECT_TRUE(isShown("SetClass"));
    EXPECT_FALSE(f->isVisible());
    EXPECT_EQ(offered(), (QList<int>{7, 1}));

    // Express on both days, Luxury on Sunday
    tick(1, 1);
    tick(1, 7);
    tick(3, 7);
    classes()->Command1->click();
    EXPECT_EQ(MessageScript::texts(), QStringList{QStringLiteral("Addition of New Route 101 Complete. ")});
    EXPECT_EQ(MessageScript::shown().front().style, mb::Information);
    EXPECT_FALSE(session().IsInTransaction());
    EXPECT_EQ(findScreen(QStringLiteral("SetClass")), nullptr);
    // committed, in the order written
    EXPECT_EQ(rows(QStringLiteral("SELECT route_id, day, class FROM service_class")),
              (QStringList{QStringLiteral("101,7,1"), QStringLiteral("101,1,1"), QStringLiteral("101,7,3")}));
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM route_frequency")), 2);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM path_order WHERE route_id = 101")), 2);
}

TEST_P(Schedule, EverydayStandsForTheWeekInBothScreens)
{
    startRoute();
    SetFrequency *f = frequency();
    // the Everyday row's list choice goes to the seven days only while Everyday is ticked
    emit f->DayDetail[21]->activated(0);
    EXPECT_EQ(f->DayDetail[0]->currentText(), QStringLiteral("1440"));
    f->DayCheck[7]->setChecked(true);
    f->DayDetail[21]->setCurrentIndex(1);
    emit f->DayDetail[21]->activated(1);
    f->DayDetail[22]->setCurrentIndex(7);
    emit f->DayDetail[22]->activated(7);
    for (int k = 0; k < 7; ++k) {
        EXPECT_EQ(f->DayDetail[size_t(3 * k)]->currentText(), QStringLiteral("30")) << k;
        EXPECT_EQ(f->DayDetail[size_t(3 * k + 1)]->currentText(), QStringLiteral("7")) << k;
    }
    f->DayCheck[1]->setChecked(true);
    f->DayDetail[3]->setEditText(QStringLiteral("15"));
    f->DayDetail[23]->setCurrentIndex(30);
    f->Command2->click();
    EXPECT_EQ(pending(QStringLiteral("SELECT * FROM route_frequency")), QStringList{QStringLiteral("101,8,30,7,30")});
    EXPECT_EQ(offered(), QList<int>{8});

    // ticks left in hidden single-day columns are not stored: only Everyday runs
    tick(2, 8);
    tick(2, 2);
    tick(4, 3);
    classes()->Command1->click();
    EXPECT_EQ(rows(QStringLiteral("SELECT day, class FROM service_class ORDER BY class, day")),
              (QStringList{QStringLiteral("8,2")}));
}

// The Everyday row below the frame stands in the day rows' columns, and the 60 minutes
// open as a list that scrolls within the screen.
TEST_P(Schedule, EverydayRowLinesUpWithTheDaysAndListsStayOnTheScreen)
{
    startRoute();
    SetFrequency *f = frequency();
    ASSERT_TRUE(f && f->isVisible());
    f->layout()->activate();
    const auto x = [f](QWidget *w) { return w->mapTo(f, QPoint()).x(); };
    EXPECT_EQ(x(f->DayCheck[7]), x(f->DayCheck[0]));
    for (size_t j = 0; j < 3; ++j)
        EXPECT_EQ(x(f->DayDetail[21 + j]), x(f->DayDetail[j])) << j;

    QComboBox *minutes = f->DayDetail[2];
    minutes->showPopup();
    const QWidget *popup = minutes->view()->window();
    EXPECT_LE(popup->height(), minutes->screen()->availableGeometry().height());
    EXPECT_LE(popup->height(), minutes->view()->sizeHintForRow(0) * 14);
    minutes->hidePopup();
}

TEST_P(Schedule, IntervalsTheRunSchedulerCannotUseAreRefused)
{
    startRoute();
    SetFrequency *f = frequency();
    f->DayCheck[2]->setChecked(true);
    for (const char *bad : {"0", "-15", "1441", "x", ""}) {
        MessageScript::clearShown();
        f->DayDetail[6]->setEditText(QString::fromLatin1(bad));
        f->Command2->click();
        ASSERT_EQ(MessageScript::shown().size(), 1u) << bad;
        EXPECT_EQ(MessageScript::shown().front().text, QStringLiteral("Error in frequency setting")) << bad;
        EXPECT_EQ(MessageScript::shown().front().style, mb::Critical);
        EXPECT_TRUE(f->isVisible());
        EXPECT_EQ(sessionScalar(QStringLiteral("SELECT count(*) FROM route_frequency")).toInt(), 0);
    }
    MessageScript::clearShown();
    f->DayDetail[6]->setEditText(QStringLiteral(" 1440"));
    f->Command2->click();
    EXPECT_TRUE(MessageScript::texts().isEmpty());
    EXPECT_EQ(pending(QStringLiteral("SELECT day, frequency FROM route_frequency")), QStringList{QStringLiteral("3,1440")});
}

TEST_P(Schedule, NoDayTickedStaysAndCorrectedSecondNextReportsTheDaysAlreadySet)
{
    startRoute();
    SetFrequency *f = frequency();
    f->Command2->click();
    ASSERT_EQ(MessageScript::shown().size(), 1u);
    EXPECT_EQ(MessageScript::shown().front().text, QStringLiteral("No days are selected. Please select a day"));
    EXPECT_EQ(MessageScript::shown().front().title, QStringLiteral("Error. "));
    EXPECT_EQ(MessageScript::shown().front().style, mb::Information);

    // Sunday is written before Monday's interval is refused, and stays in the transaction
    MessageScript::clearShown();
    f->DayCheck[6]->setChecked(true);
    f->DayCheck[0]->setChecked(true);
    f->DayDetail[0]->setEditText(QStringLiteral("abc"));
    f->Command2->click();
    EXPECT_EQ(MessageScript::texts(), QStringList{QStringLiteral("Error in frequency setting")});
    EXPECT_EQ(sessionScalar(QStringLiteral("SELECT count(*) FROM route_frequency")).toInt(), 1);

    MessageScript::clearShown();
    f->DayDetail[0]->setEditText(QStringLiteral("60"));
    f->Command2->click();
    ASSERT_EQ(MessageScript::shown().size(), 1u);
    EXPECT_EQ(MessageScript::shown().front().text,
              QStringLiteral("The Frequency for day 7 and this route has been already been set"));
    EXPECT_EQ(MessageScript::shown().front().style, mb::Information);
    EXPECT_TRUE(isShown("SetClass"));
    EXPECT_EQ(sessionScalar(QStringLiteral("SELECT count(*) FROM route_frequency")).toInt(), 2);
}

TEST_P(Schedule, BackAndStartOverDiscardEverythingAndARepeatTakesANewRouteNumber)
{
    startRoute();
    frequency()->DayCheck[1]->setChecked(true);
    frequency()->Command3->click();  // << Back
    EXPECT_FALSE(session().IsInTransaction());
    EXPECT_EQ(sessionScalar(QStringLiteral("SELECT count(*) FROM place")).toInt(), 2);
    EXPECT_TRUE(entry()->isVisible());
    EXPECT_FALSE(frequency()->isVisible());
    EXPECT_EQ(entry()->txtr->text(), QStringLiteral("Bangalore,Tumkur,Arsikere"));

    startRoute();
    EXPECT_EQ(CurrentRouteId, 102);
    EXPECT_TRUE(frequency()->DayCheck[1]->isChecked());
    frequency()->Command2->click();
    tick(1, 2);
    classes()->Command2->click();  // Start over
    EXPECT_FALSE(session().IsInTransaction());
    EXPECT_EQ(sessionScalar(QStringLiteral("SELECT count(*) FROM route_frequency")).toInt(), 0);
    EXPECT_TRUE(entry()->isVisible());
    EXPECT_FALSE(classes()->isVisible());

    // Tuesday is dropped for Monday: its hidden tick is not stored
    startRoute();
    frequency()->DayCheck[1]->setChecked(false);
    frequency()->DayCheck[0]->setChecked(true);
    frequency()->Command2->click();
    EXPECT_EQ(offered(), QList<int>{1});
    MessageScript::clearShown();
    classes()->Command1->click();
    EXPECT_EQ(MessageScript::texts(),
              QStringList{QStringLiteral("Atleast one class should be selected for each day \r\n (There must be atleast one "
                                         "tick in each column )")});
    EXPECT_TRUE(classes()->isVisible());
    tick(0, 1);
    MessageScript::clearShown();
    classes()->Command1->click();
    EXPECT_EQ(MessageScript::texts(), QStringList{QStringLiteral("Addition of New Route 103 Complete. ")});
    EXPECT_EQ(rows(QStringLiteral("SELECT route_id, day, class FROM service_class ORDER BY class")),
              (QStringList{QStringLiteral("103,1,0")}));
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM route")), 1);
}

// The menu flags and the shared route number may change under an open wizard (another
// route menu item, a search); the wizard goes on with the route it stored.
TEST_P(Schedule, WizardKeepsItsRouteAndModeWhenTheSharedFlagsChangeMeanwhile)
{
    startRoute();
    setFlags(false, false, true);
    CurrentRouteId = 7;
    days({3});
    tick(0, 3);
    classes()->Command1->click();
    EXPECT_EQ(MessageScript::texts(), QStringList{QStringLiteral("Addition of New Route 101 Complete. ")});
    EXPECT_EQ(rows(QStringLiteral("SELECT route_id, day FROM route_frequency")), QStringList{QStringLiteral("101,3")});
    EXPECT_EQ(rows(QStringLiteral("SELECT route_id, day, class FROM service_class")), QStringList{QStringLiteral("101,3,0")});
}

// A lost connection (or any refusal but the duplicate-key signal) must not end in a route
// committed without its timetable.
TEST_P(Schedule, DatabaseFailureRollsTheWizardBackInsteadOfCarryingOn)
{
    startRoute();
    session().GetCurrentConnection().close();
    frequency()->DayCheck[0]->setChecked(true);
    frequency()->Command2->click();
    ASSERT_EQ(MessageScript::shown().size(), 1u);
    EXPECT_TRUE(MessageScript::shown().front().text.startsWith(QStringLiteral("The route could not be stored.")))
        << MessageScript::shown().front().text.toStdString();
    EXPECT_FALSE(isShown("SetClass"));
    EXPECT_TRUE(entry()->isVisible());
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM route")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM place")), 2);
    // still without a connection: a further Next >> is refused with a message
    MessageScript::clearShown();
    entry()->ok->click();
    EXPECT_EQ(MessageScript::shown().size(), 1u);
    EXPECT_FALSE(isShown("SetFrequency"));
}

NBK_ALL_ENGINES(Schedule);

}  // namespace
