// Finding a route by number or place, deleting it, and editing it through the wizard.
#include "RouteFixture.h"

#include "data/session/Transaction.h"
#include "routes/StoreRoute.h"
#include "routes/screens/dlgRouteSelect.h"
#include "routes/screens/frmEditRoute.h"

#include <QLabel>

using namespace nbk;
using namespace nbk::test;

namespace {

const QString kNotFound = QStringLiteral(" Route Id not found in database");

class RouteSearch : public RouteTest {
protected:
    void SetUp() override
    {
        RouteTest::SetUp();
        seedRouteABCD();
        db().exec({"INSERT into Route_Frequency values (7, 2, 45, 6, 15)", "INSERT into service_class values(7, 2, 1)",
                   "INSERT into service_class values(7, 5, 3)"});
    }

    // The menu's Edit Route (edit) or Delete Route, then the search.
    frmEditRoute *search(bool editing, const QString &rid, const QString &place = QString())
    {
        setFlags(false, editing, !editing);
        auto *f = qobject_cast<frmEditRoute *>(openScreen(QStringLiteral("frmEditRoute")));
        EXPECT_NE(f, nullptr);
        if (!f)
            return nullptr;
        EXPECT_EQ(f->windowTitle(), QStringLiteral("Select Route"));
        f->RID->setText(rid);
        f->Place->setText(place);
        f->Command1->click();
        return f;
    }

    dlgRouteSelect *results() { return findScreenAs<dlgRouteSelect>(QStringLiteral("dlgRouteSelect")); }

    void bookSeatOnRun70()
    {
        db().exec({"INSERT INTO CUSTOMER VALUES(5000, 70, TO_DATE('05-03-2003 23:50:00','DD-MM-YYYY HH24:MI:SS'), "
                   "'Ravi', 30, 1, 'M', 'A', 'C', 90)",
                   "INSERT INTO SEAT_MATRIX VALUES(70, 1, 1, 2, 5000, 'r')"});
    }

    int routeRows(const char *table)
    {
        return count(QStringLiteral("SELECT count(*) FROM %1 WHERE %2 = 7")
                         .arg(QLatin1String(table), QLatin1String(QByteArray(table) == "bus_instance" ? "bus_id" : "route_id")));
    }
};

TEST_P(RouteSearch, DeleteAsksNamingTheRouteAndYesRemovesItsRunsPathFrequencyAndClasses)
{
    MessageScript::begin({mb::No});
    search(false, QStringLiteral("7"));
    ASSERT_EQ(MessageScript::shown().size(), 1u);
    const ShownMessage &ask = MessageScript::shown().front();
    EXPECT_EQ(ask.text, QStringLiteral("All Bus Instances servicing this route will also be \r\nRemoved. \r\nAre you sure "
                                       "you want to delete route  7:\r\n Aa, Bb, Cc, Dd ?"));
    EXPECT_EQ(ask.style, 324);
    EXPECT_EQ(findScreen(QStringLiteral("frmEditRoute")), nullptr);
    EXPECT_EQ(routeRows("route"), 1);

    MessageScript::begin({mb::Yes});
    search(false, QStringLiteral("7"));
    ASSERT_EQ(MessageScript::shown().size(), 2u);
    EXPECT_EQ(MessageScript::texts().last(),
              QStringLiteral("Route 7 has been deleted with its bus runs, path, timetable and classes. "));
    EXPECT_FALSE(session().IsInTransaction());
    for (const char *table : {"route", "bus_instance", "path_order", "route_frequency", "service_class"})
        EXPECT_EQ(routeRows(table), 0) << table;
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM route_element")), 3);
}

// Deleting the runs would void their passengers' seats: refused with the count, before
// the question, and again when a booking arrives while the question is open.
TEST_P(RouteSearch, DeletionIsRefusedWhileItsRunsHoldReservationsSayingHowMany)
{
    const QString refusal = QStringLiteral("Route 7 cannot be deleted: its bus runs hold %1 (%2), which would lose "
                                           "their seats. Nothing has been changed. ");
    bookSeatOnRun70();
    db().exec(QStringLiteral("INSERT INTO SEAT_MATRIX VALUES(70, 2, 1, 2, 5000, 'r')"));
    MessageScript::begin({mb::Yes});
    search(false, QStringLiteral("7"));
    EXPECT_EQ(MessageScript::texts(), QStringList{refusal.arg(QStringLiteral("1 reservation"), QStringLiteral("2 seats"))});

    db().exec({"DELETE FROM seat_matrix", "DELETE FROM customer"});
    MessageScript::begin({mb::Yes});
    MessageScript::onShown([&](const ShownMessage &m) {
        if (m.style == 324)
            bookSeatOnRun70();
    });
    search(false, QStringLiteral("7"));
    MessageScript::onShown({});
    ASSERT_EQ(MessageScript::shown().size(), 2u);
    EXPECT_EQ(MessageScript::texts().last(), refusal.arg(QStringLiteral("1 reservation"), QStringLiteral("1 seat")));
    EXPECT_FALSE(session().IsInTransaction());
    for (const char *table : {"route", "bus_instance", "path_order", "route_frequency", "service_class"})
        EXPECT_GT(routeRows(table), 0) << table;
}

TEST_P(RouteSearch, DeletionIsRefusedWhileAnotherTasksChangesArePending)
{
    data::Transaction booking(session(), QStringLiteral("the reservation of customer 1234"));
    MessageScript::begin({mb::Yes});
    search(false, QStringLiteral("7"));
    ASSERT_EQ(MessageScript::shown().size(), 2u);
    EXPECT_TRUE(MessageScript::texts().last().startsWith(QStringLiteral("The reservation of customer 1234")));
    EXPECT_TRUE(booking.isOpen());
    booking.rollback();
    EXPECT_EQ(routeRows("route"), 1);
}

TEST_P(RouteSearch, EditOpensTheWizardFilledWithTheStoredRouteAndReplacesItsRows)
{
    search(true, QStringLiteral("7"));
    EXPECT_TRUE(MessageScript::texts().isEmpty()) << MessageScript::texts().join('|').toStdString();
    EXPECT_EQ(findScreen(QStringLiteral("frmEditRoute")), nullptr);
    frmAddRoute *f = entry();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->windowTitle(), QStringLiteral("Editing Route no. 7"));
    EXPECT_EQ(f->txtr->text(), QStringLiteral(" Aa, Bb, Cc, Dd"));
    EXPECT_EQ(routes::sequencePlaces(f->txtr->text()),
              (QStringList{QStringLiteral("Aa"), QStringLiteral("Bb"), QStringLiteral("Cc"), QStringLiteral("Dd")}));
    EXPECT_EQ(f->txtk->text(), QStringLiteral("40, 60, 30"));
    EXPECT_EQ(f->Text2->text(), QStringLiteral("5"));
    EXPECT_EQ(f->Text3->text(), QStringLiteral("260"));
    EXPECT_FALSE(f->chkEst->isEnabled());
    EXPECT_EQ(f->cmbfpi->currentIndex(), 0);

    SetFrequency *freq = frequency();
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ(freq->DayCheck[size_t(k)]->isChecked(), k == 1) << k;
    EXPECT_EQ(freq->DayDetail[3]->currentText(), QStringLiteral("45"));
    EXPECT_EQ(freq->DayDetail[3]->count(), 0);
    EXPECT_EQ(freq->DayDetail[4]->currentText(), QStringLiteral("6"));
    EXPECT_EQ(freq->DayDetail[5]->currentText(), QStringLiteral("15"));
    for (int i = 0; i < 40; ++i)
        EXPECT_EQ(classes()->Check1[size_t(i)]->isChecked(), i == routes::classBox(1, 2) || i == routes::classBox(3, 5))
            << i;

    f->Text3->setText(QStringLiteral("275"));
    f->ok->click();
    ASSERT_EQ(MessageScript::shown().size(), 1u);
    EXPECT_EQ(MessageScript::texts().front(),
              QStringLiteral(" Route no. 7 will be modified to \r\n\r\nRoute Sequence :   Aa - Bb - Cc - Dd - \r\n   Segment "
                             "KMs          -40-60-30"));
    ASSERT_TRUE(isShown("SetFrequency"));
    EXPECT_EQ(CurrentRouteId, 7);
    frequency()->Command2->click();
    ASSERT_TRUE(isShown("SetClass"));
    tick(1, 2, false);
    tick(0, 2);
    MessageScript::clearShown();
    classes()->Command1->click();
    EXPECT_EQ(MessageScript::texts(), QStringList{QStringLiteral("Editing of Route 7 Complete. ")});
    EXPECT_FALSE(session().IsInTransaction());

    // the Friday tick had no Friday column to be seen in: it is not stored
    EXPECT_EQ(rows(QStringLiteral("SELECT day, class FROM service_class WHERE route_id = 7 ORDER BY class")),
              (QStringList{QStringLiteral("2,0")}));
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM route_frequency WHERE route_id = 7 AND day = 2 AND frequency = 45 "
                                   "AND hour = 6 AND minute = 15")),
              1);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM path_order WHERE route_id = 7")), 3);
    EXPECT_EQ(count(QStringLiteral("SELECT travelmins FROM route WHERE route_id = 7")), 275);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM route")), 1);
    // its run stays
    EXPECT_EQ(routeRows("bus_instance"), 1);
}

TEST_P(RouteSearch, EverydayEditedToTheWeekendStoresOnlyTheWeekendTicksAndUndoDefaultsToNo)
{
    db().exec({"DELETE FROM service_class", "DELETE FROM route_frequency",
               "INSERT into Route_Frequency values (7, 8, 60, 6, 0)", "INSERT into service_class values(7, 8, 1)",
               "INSERT into service_class values(7, 8, 2)"});
    search(true, QStringLiteral("7"));
    frmAddRoute *f = entry();
    ASSERT_NE(f, nullptr);
    const QLabel *heading = f->findChild<QLabel *>(QStringLiteral("Label1"));
    ASSERT_NE(heading, nullptr);
    EXPECT_EQ(heading->text(), QStringLiteral("Editing Routes:"));
    f->ok->click();
    ASSERT_TRUE(isShown("SetFrequency"));

    // undoing the edit is asked with No as the default: Enter keeps the work
    MessageScript::begin();
    frequency()->Command1->click();
    ASSERT_EQ(MessageScript::shown().size(), 1u);
    EXPECT_EQ(MessageScript::shown().front().style, mb::Question | mb::YesNo | mb::DefaultButton2);
    ASSERT_TRUE(isShown("SetFrequency"));

    frequency()->DayCheck[7]->setChecked(false);
    days({6, 7});
    ASSERT_TRUE(isShown("SetClass")) << MessageScript::texts().join('|').toStdString();
    tick(1, 6);
    tick(1, 7);
    tick(3, 7);
    MessageScript::clearShown();
    classes()->Command1->click();
    EXPECT_EQ(MessageScript::texts(), QStringList{QStringLiteral("Editing of Route 7 Complete. ")});
    EXPECT_EQ(rows(QStringLiteral("SELECT day, class FROM service_class WHERE route_id = 7 ORDER BY day, class")),
              (QStringList{QStringLiteral("6,1"), QStringLiteral("7,1"), QStringLiteral("7,3")}));
    EXPECT_EQ(rows(QStringLiteral("SELECT day FROM route_frequency WHERE route_id = 7 ORDER BY day")),
              (QStringList{QStringLiteral("6"), QStringLiteral("7")}));
}

// The name is stored as typed (quotes included), shown on the next edit and in the
// search results' preview, and emptied back to none.
TEST_P(RouteSearch, TheRouteNameIsStoredShownOnEditAndInTheSearchPreview)
{
    const auto editName = [&](const QString &name) {
        search(true, QStringLiteral("7"));
        frmAddRoute *f = entry();
        if (!f)
            return QString(QStringLiteral("<no screen>"));
        const QString shown = f->Text1->text();
        f->Text1->setText(name);
        f->ok->click();
        frequency()->Command2->click();
        classes()->Command1->click();
        return shown;
    };
    EXPECT_EQ(editName(QStringLiteral("  Coastal's Special ")), QString());
    EXPECT_EQ(rows(QStringLiteral("SELECT route_name FROM route WHERE route_id = 7")),
              QStringList{QStringLiteral("Coastal's Special")});

    search(true, QString(), QStringLiteral("Bb"));
    ASSERT_NE(results(), nullptr);
    MessageScript::clearShown();
    results()->Command1->click();
    EXPECT_EQ(MessageScript::texts(),
              QStringList{QStringLiteral("The route is : \r\n Aa, Bb, Cc, Dd\r\nRoute name: Coastal's Special")});
    closeScreen(QStringLiteral("dlgRouteSelect"));

    EXPECT_EQ(editName(QString()), QStringLiteral("Coastal's Special"));
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM route WHERE route_id = 7 AND route_name IS NULL")), 1);
}

// Seat rows hold their stretch by the route's sequence numbers: once a run carries them,
// the stops stay as they are and only the timetable and classes change.
TEST_P(RouteSearch, StopsChangeOnlyWhileNoRunHoldsReservations)
{
    const auto edit = [&](const char *sequence, const char *kms, const char *stop) {
        search(true, QStringLiteral("7"));
        frmAddRoute *f = entry();
        f->txtr->setText(QLatin1String(sequence));
        f->txtk->setText(QLatin1String(kms));
        f->Text2->setText(QLatin1String(stop));
        f->ok->click();
        if (!isShown("SetFrequency"))
            return false;
        frequency()->Command2->click();
        classes()->Command1->click();
        return true;
    };
    ASSERT_TRUE(edit("Aa, Bb, Cc", "40, 60", "5")) << MessageScript::texts().join('|').toStdString();
    EXPECT_EQ(rows(QStringLiteral("SELECT place2, stops FROM route WHERE route_id = 7")), QStringList{QStringLiteral("C,3")});
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM path_order WHERE route_id = 7")), 2);

    bookSeatOnRun70();
    MessageScript::clearShown();
    EXPECT_FALSE(edit("Aa, Bb, Cc, Dd", "40, 60, 30", "5"));
    ASSERT_EQ(MessageScript::shown().size(), 2u);
    EXPECT_TRUE(MessageScript::texts().last().startsWith(QStringLiteral("Route 7 has reservations on its bus runs")))
        << MessageScript::texts().last().toStdString();
    EXPECT_FALSE(session().IsInTransaction());
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM path_order WHERE route_id = 7")), 2);

    ASSERT_TRUE(edit(" Aa, Bb, Cc", "40, 60", "8"));
    EXPECT_EQ(MessageScript::texts().last(), QStringLiteral("Editing of Route 7 Complete. "));
    EXPECT_EQ(count(QStringLiteral("SELECT stoptime FROM route WHERE route_id = 7")), 8);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM seat_matrix")), 1);
}

TEST_P(RouteSearch, PlaceSearchListsRoutesPassingThroughInAnyCapitals)
{
    db().exec({"INSERT INTO PLACE VALUES('Z', 'Zz')"});
    frmEditRoute *f = search(true, QString(), QStringLiteral("Yy"));
    EXPECT_EQ(MessageScript::texts(), QStringList{QStringLiteral("Error in name entry")});
    EXPECT_EQ(MessageScript::shown().front().style, mb::Critical);
    EXPECT_EQ(f->focusWidget(), f->Place);

    for (const char *typed : {"O'Hare", "Zz"}) {
        MessageScript::clearShown();
        f->Place->setText(QString::fromLatin1(typed));
        f->Command1->click();
        EXPECT_EQ(MessageScript::shown().size(), 1u) << typed;
    }
    EXPECT_EQ(MessageScript::texts(), QStringList{QStringLiteral("None of the available routes contain Zz")});
    EXPECT_EQ(MessageScript::shown().front().style, mb::Information);
    EXPECT_EQ(MessageScript::shown().front().title, QStringLiteral("Information"));

    MessageScript::clearShown();
    f->Place->setText(QStringLiteral("bB"));
    f->Command1->click();
    EXPECT_TRUE(MessageScript::texts().isEmpty());
    EXPECT_EQ(findScreen(QStringLiteral("frmEditRoute")), nullptr);
    dlgRouteSelect *d = results();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Search Results"));
    ASSERT_EQ(d->cmbRouteID->count(), 1);
    EXPECT_EQ(d->cmbRouteID->currentText(), QStringLiteral("7"));

    d->Command1->click();  // Preview Route
    EXPECT_EQ(MessageScript::texts(), QStringList{QStringLiteral("The route is : \r\n Aa, Bb, Cc, Dd")});
    d->OKButton->click();
    EXPECT_EQ(findScreen(QStringLiteral("dlgRouteSelect")), nullptr);
    ASSERT_NE(entry(), nullptr);
    EXPECT_EQ(entry()->windowTitle(), QStringLiteral("Editing Route no. 7"));
}

TEST_P(RouteSearch, PreviewOfARouteDeletedMeanwhileAndItsOk)
{
    search(false, QString(), QStringLiteral("Dd"));
    dlgRouteSelect *d = results();
    ASSERT_NE(d, nullptr);
    db().exec(QStringLiteral("Delete Route where route_id = 7"));
    d->Command1->click();
    EXPECT_EQ(MessageScript::texts(), (QStringList{kNotFound, QStringLiteral("The route is : \r\n")}));
    MessageScript::clearShown();
    d->OKButton->click();
    EXPECT_EQ(MessageScript::texts(), QStringList{kNotFound});
    EXPECT_EQ(findScreen(QStringLiteral("dlgRouteSelect")), nullptr);
}

TEST_P(RouteSearch, RouteNumbersBeyondSixteenBitsOrUnknownAreRefusedAndCancelCloses)
{
    frmEditRoute *f = search(true, QStringLiteral("40000"));
    EXPECT_EQ(MessageScript::texts(), QStringList{QStringLiteral("Invalid Route ID")});
    EXPECT_EQ(f->focusWidget(), f->RID);
    MessageScript::clearShown();
    f->RID->setText(QStringLiteral("x7"));
    f->Command1->click();
    EXPECT_EQ(MessageScript::texts(), QStringList{QStringLiteral("Invalid Route ID")});
    MessageScript::clearShown();
    f->RID->setText(QStringLiteral("99"));
    f->Command1->click();
    EXPECT_EQ(MessageScript::texts(), QStringList{kNotFound});
    EXPECT_EQ(findScreen(QStringLiteral("frmEditRoute")), f);
    f->Command2->click();
    EXPECT_EQ(findScreen(QStringLiteral("frmEditRoute")), nullptr);

    search(true, QString(), QStringLiteral("Aa"));
    dlgRouteSelect *d = results();
    ASSERT_NE(d, nullptr);
    d->cmbRouteID->addItem(QStringLiteral("40000"));
    d->cmbRouteID->setCurrentIndex(1);
    MessageScript::clearShown();
    d->OKButton->click();
    EXPECT_EQ(MessageScript::texts(), QStringList{QStringLiteral("Invalid Route ID")});
    EXPECT_EQ(entry(), nullptr);
    d->CancelButton->click();
    EXPECT_EQ(findScreen(QStringLiteral("dlgRouteSelect")), nullptr);
}

TEST_P(RouteSearch, EditWhileAnotherRouteIsInTheWizardIsRefused)
{
    frmAddRoute *f = openAdd();
    ASSERT_NE(f, nullptr);
    frmEditRoute *s = search(true, QStringLiteral("7"));
    ASSERT_EQ(MessageScript::texts().size(), 1);
    EXPECT_EQ(findScreen(QStringLiteral("frmEditRoute")), s);
    EXPECT_EQ(entry()->windowTitle(), QStringLiteral("Add New Route"));
}

NBK_ALL_ENGINES(RouteSearch);

}  // namespace
