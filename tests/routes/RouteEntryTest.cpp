// The route entry screen over the database: places and segments found or created, the
// summary, and every way the first step is left without a route.
#include "RouteFixture.h"

#include "data/dialect/SqlText.h"
#include "data/session/Transaction.h"
#include "routes/screens/RouteMap.h"

#include <QAbstractButton>
#include <QLabel>

using namespace nbk;
using namespace nbk::test;

namespace {

class RouteEntry : public RouteTest {
protected:
    void SetUp() override
    {
        RouteTest::SetUp();
        db().exec({"INSERT INTO PLACE VALUES('Bang', 'Bangalore')", "INSERT INTO PLACE VALUES('Tumk', 'Tumkur')"});
    }

    QString placeCode(const char *name)
    {
        return sessionScalar(QStringLiteral("SELECT place FROM place WHERE full_name = '%1'")
                                 .arg(data::sqlText(QLatin1String(name))))
            .toString();
    }
    int pending(const char *sql) { return sessionScalar(QLatin1String(sql)).toInt(); }
    // Route entry filled and Next >> pressed; true when the frequency screen came up.
    bool next(const char *sequence, const char *kms)
    {
        frmAddRoute *f = entry() ? entry() : openAdd();
        enter(f, QLatin1String(sequence), QLatin1String(kms));
        f->ok->click();
        return isShown("SetFrequency");
    }
};

TEST_P(RouteEntry, OpensEmptyWithModerateFuelAndTheMapAppendsCities)
{
    frmAddRoute *f = openAdd();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->windowTitle(), QStringLiteral("Add New Route"));
    EXPECT_EQ(f->findChild<QLabel *>(QStringLiteral("Label1"))->text(), QStringLiteral("Adding Routes:"));
    EXPECT_EQ(f->cmbfpi->currentText(), QStringLiteral("Moderate Consumption"));
    EXPECT_FALSE(frequency()->isVisible() || classes()->isVisible());
    const auto press = [&](const char *spot) { f->map->findChild<QAbstractButton *>(QLatin1String(spot))->click(); };
    for (const char *spot : {"Bijapur", "Tumkur", "Hubli", "Mercara", "NandiHills"})
        press(spot);
    EXPECT_EQ(f->txtr->text(), QStringLiteral("Bijapur ,Tumkur,Mercera,Nandi Hills"));
    f->txtr->clear();
    press("Mercara");
    EXPECT_EQ(f->txtr->text(), QStringLiteral("Mercera"));
}

TEST_P(RouteEntry, SpeedReplacesTheJourneyTimeAndUncheckingClearsBoth)
{
    frmAddRoute *f = openAdd();
    f->Text3->setText(QStringLiteral("300"));
    EXPECT_FALSE(f->chkEst->isEnabled() || f->Text4->isEnabled() || f->Label10->isEnabled());
    f->Text3->clear();
    f->Text4->setText(QStringLiteral("50"));
    EXPECT_TRUE(f->chkEst->isChecked());
    EXPECT_EQ(f->Text3->text(), QStringLiteral("Auto Estimated by Average Kmph "));
    EXPECT_EQ(f->Text3->cursorPosition(), 0) << "the box shows the text from its first letter";
    EXPECT_GT(f->Text3->width(), f->Text3->fontMetrics().horizontalAdvance(f->Text3->text()));
    EXPECT_FALSE(f->Text3->isEnabled());
    EXPECT_TRUE(f->chkEst->isEnabled() && f->Text4->isEnabled() && f->Label10->isEnabled());
    f->chkEst->click();  // unchecks
    EXPECT_FALSE(f->chkEst->isChecked());
    EXPECT_TRUE(f->Text3->text().isEmpty() && f->Text4->text().isEmpty() && f->Text3->isEnabled());
    EXPECT_TRUE(f->chkEst->isEnabled() && f->Text4->isEnabled() && f->Label10->isEnabled());
}

TEST_P(RouteEntry, NextStoresRouteAndPathInOneOpenTransaction)
{
    frmAddRoute *f = openAdd();
    enter(f, QStringLiteral("Bangalore, Tumkur ;Arsikere,"), QStringLiteral("070,105"), QStringLiteral("10"), QString());
    f->Text4->setText(QStringLiteral("50"));
    f->cmbfpi->setCurrentIndex(2);
    f->ok->click();
    ASSERT_EQ(MessageScript::shown().size(), 1u) << MessageScript::texts().join('|').toStdString();
    const ShownMessage &ask = MessageScript::shown().front();
    EXPECT_EQ(ask.text, QStringLiteral("The following information will be added  \r\n\r\nRoute Sequence :   Bangalore - "
                                       "Tumkur - Arsikere - \r\n   Segment KMs          -70-105"));
    EXPECT_EQ(ask.style, mb::Information | mb::OKCancel);
    EXPECT_EQ(ask.title, QStringLiteral("Info"));
    EXPECT_EQ(CurrentRouteId, 101);
    EXPECT_TRUE(isShown("SetFrequency"));
    EXPECT_FALSE(f->isVisible());
    // 175 km at 50 km/h with two 10-minute halts: 230 minutes
    data::ResultSet r = session().GetCurrentConnection().query(
        QStringLiteral("SELECT place1, place2, stops, km, fpi, stoptime, travelmins FROM route WHERE route_id = 101"));
    ASSERT_FALSE(r.eof());
    QStringList got;
    for (int i = 0; i < 7; ++i)
        got << (i < 2 ? r.value(i).toString() : QString::number(r.value(i).toDouble()));
    EXPECT_EQ(got.join(','), QStringLiteral("Bang,Arsi,3,175,3,10,230"));
    EXPECT_EQ(placeCode("Arsikere"), QStringLiteral("Arsi"));
    EXPECT_EQ(pending("SELECT count(*) FROM path_order po, route_element re WHERE po.route_id = 101 AND re.reid = po.reid "
                      "AND ((po.sequence_no = 1 AND re.place1 = 'Bang' AND re.place2 = 'Tumk' AND re.km = 70) OR "
                      "(po.sequence_no = 2 AND re.place1 = 'Tumk' AND re.place2 = 'Arsi' AND re.km = 105))"),
              2);
    // nothing is committed before the classes' OK
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM route")) + count(QStringLiteral("SELECT count(*) FROM place")), 2);
}

// The places' Kannada names go in with the route, in its transaction: a name for a new
// place and one replacing a known place's, an empty item leaving its place's name alone;
// more names than places are refused before anything is written.
TEST_P(RouteEntry, KannadaNamesOfThePlacesAreStoredWithTheRoute)
{
    const QString tumkur = QStringLiteral("\u0CA4\u0CC1\u0CAE\u0C95\u0CC2\u0CB0\u0CC1");
    const QString arsikere = QStringLiteral("\u0C85\u0CB0\u0CB8\u0CC0\u0C95\u0CC6\u0CB0\u0CC6");
    db().exec({"INSERT INTO place_local_name (place, name) VALUES ('Bang', 'old')",
               "INSERT INTO place_local_name (place, name) VALUES ('Tumk', 'old')"});
    frmAddRoute *f = openAdd();
    f->Text5->setText(QStringLiteral(",,,") + tumkur);
    EXPECT_FALSE(next("Bangalore,Tumkur,Arsikere", "70,105"));
    ASSERT_EQ(MessageScript::shown().size(), 1u);
    EXPECT_EQ(MessageScript::shown().front().text,
              QStringLiteral("There are more Kannada names than places in the route sequence "));
    EXPECT_FALSE(session().IsInTransaction());

    f->Text5->setText(QStringLiteral(" , ") + tumkur + QStringLiteral(" ,") + arsikere);
    ASSERT_TRUE(next("Bangalore,Tumkur,Arsikere", "70,105"));
    const auto name = [&](const char *code) {
        return sessionScalar(QStringLiteral("SELECT name FROM place_local_name WHERE place = '%1'").arg(QLatin1String(code)))
            .toString();
    };
    EXPECT_EQ((QStringList{name("Bang"), name("Tumk"), name("Arsi")}), (QStringList{"old", tumkur, arsikere}));
    // nothing is committed before the classes' OK
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM place_local_name WHERE name <> 'old'")), 0);
}

TEST_P(RouteEntry, ExistingSegmentIsReusedAndTheReverseDirectionIsANewOne)
{
    db().exec({"INSERT INTO ROUTE_ELEMENT values(5, 'Bang', 'Tumk', 70)"});
    ASSERT_TRUE(next("Bangalore,Tumkur,Bangalore,Tumkur", "70,70,70"));
    EXPECT_EQ(pending("SELECT count(*) FROM route_element"), 2);
    EXPECT_EQ(pending("SELECT reid FROM path_order WHERE route_id = 101 AND sequence_no = 3"), 5);
    EXPECT_EQ(pending("SELECT reid FROM path_order WHERE route_id = 101 AND sequence_no = 2"), 1001);
}

// A segment keeps its stored distance: the route's total and estimated time come from it,
// and the typed distance that differs is named before anything is stored.
TEST_P(RouteEntry, StoredSegmentDistanceIsNamedAndMakesTheRouteTotals)
{
    db().exec({"INSERT INTO PLACE VALUES('Myso', 'Mysore')", "INSERT INTO PLACE VALUES('Hass', 'Hassan')",
               "INSERT INTO PLACE VALUES('Kadu', 'Kadur')", "INSERT INTO PLACE VALUES('Shim', 'Shimoga')",
               "INSERT INTO ROUTE_ELEMENT values(9, 'Kadu', 'Shim', 95)"});
    frmAddRoute *f = openAdd();
    enter(f, QStringLiteral("Mysore, Hassan, Kadur, Shimoga"), QStringLiteral("115,60,70"), QStringLiteral("10"),
          QString());
    f->Text4->setText(QStringLiteral("50"));
    for (const int answer : {mb::Cancel, mb::OK}) {
        MessageScript::begin({answer});
        f->ok->click();
        ASSERT_EQ(MessageScript::shown().size(), 1u) << MessageScript::texts().join('|').toStdString();
        EXPECT_EQ(MessageScript::texts().front(),
                  QStringLiteral("The following information will be added  \r\n\r\nRoute Sequence :   Mysore - Hassan - "
                                 "Kadur - Shimoga - \r\n   Segment KMs          -115-60-95\r\n\r\nThese segments are "
                                 "already stored with other distances, which the route uses:\r\n   Kadur - Shimoga: 95 km "
                                 "(typed 70)\r\nTotal 270 km. Press Cancel to correct the entry. "));
    }
    // 270 km at 50 km/h, and 10 minutes for each of the three segments' stops
    EXPECT_EQ(pending("SELECT km FROM route WHERE route_id = 101"), 270);
    EXPECT_EQ(pending("SELECT travelmins FROM route WHERE route_id = 101"), 354);
    EXPECT_EQ(pending("SELECT count(*) FROM route_element WHERE place1 = 'Kadu' AND place2 = 'Shim'"), 1);
}

TEST_P(RouteEntry, NewPlacesTakeTheFirstFreeCodeAndOtherCapitalsAreTheKnownPlace)
{
    db().exec({"INSERT INTO PLACE VALUES('Myso', 'Mysuru')"});
    ASSERT_TRUE(next("Mysore,bangalore,Agra,Mandya's Gate,tumkuru", "1,2,3,4"))
        << MessageScript::texts().join('|').toStdString();
    EXPECT_EQ(placeCode("Mysore"), QStringLiteral("Myor"));
    EXPECT_EQ(pending("SELECT count(*) FROM place WHERE full_name = 'bangalore'"), 0);
    EXPECT_EQ(pending("SELECT count(*) FROM route_element WHERE place1 = 'Myor' AND place2 = 'Bang'"), 1);
    // four letters: straight to the sequence; place_seq gave 1 (Mysore), 2
    EXPECT_EQ(placeCode("Agra"), QStringLiteral("Ag2"));
    EXPECT_EQ(placeCode("Mandya's Gate"), QStringLiteral("Mand"));
    // tumk would be Tumkur's code in other capitals
    EXPECT_EQ(placeCode("tumkuru"), QStringLiteral("tuku"));
}

TEST_P(RouteEntry, TakenSequenceCodeTriesFurtherValuesAndGivesUpAfterNine)
{
    db().exec({"INSERT INTO PLACE VALUES('Ag1', 'x1')", "INSERT INTO PLACE VALUES('Ag2', 'x2')"});
    ASSERT_TRUE(next("Agra,Tumkur", "5"));
    EXPECT_EQ(placeCode("Agra"), QStringLiteral("Ag3"));
    frequency()->Command3->click();  // << Back
    // place_seq went on to 4; codes Ag4 .. Ag20 are all taken
    for (int i = 4; i <= 20; ++i)
        db().exec(QStringLiteral("INSERT INTO PLACE VALUES('Ag%1', 'y%1')").arg(i));
    MessageScript::clearShown();
    EXPECT_FALSE(next("Agra,Tumkur", "5"));
    ASSERT_EQ(MessageScript::texts().size(), 1);
    EXPECT_TRUE(MessageScript::texts().front().startsWith(QStringLiteral("Unable to generate a unique code")));
    EXPECT_FALSE(session().IsInTransaction());
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM place WHERE full_name = 'Agra'")), 0);
}

TEST_P(RouteEntry, SegmentIdsTakeNineAttemptsThenTheRouteIsRolledBack)
{
    for (int id = 1001; id <= 1008; ++id)
        db().exec(QStringLiteral("INSERT INTO ROUTE_ELEMENT values(%1, 'Tumk', 'Tumk', 1)").arg(id));
    ASSERT_TRUE(next("Bangalore,Tumkur", "70"));
    EXPECT_EQ(pending("SELECT reid FROM path_order WHERE route_id = 101"), 1009);
    frequency()->Command3->click();
    for (int id = 1010; id <= 1018; ++id)
        db().exec(QStringLiteral("INSERT INTO ROUTE_ELEMENT values(%1, 'Tumk', 'Tumk', 1)").arg(id));
    MessageScript::clearShown();
    EXPECT_FALSE(next("Bangalore,Tumkur", "70"));
    ASSERT_EQ(MessageScript::shown().size(), 1u);
    EXPECT_EQ(MessageScript::shown().front().text,
              QStringLiteral("Route Element already exists and unable to generate unique ID Please Try again"));
    EXPECT_EQ(MessageScript::shown().front().title, QStringLiteral("Internal Error"));
    EXPECT_FALSE(session().IsInTransaction());
}

TEST_P(RouteEntry, SameStartAndEndAndCancelInTheSummaryRollBackAndKeepTheEntries)
{
    EXPECT_FALSE(next("Udupi", ""));
    ASSERT_EQ(MessageScript::shown().size(), 1u);
    EXPECT_EQ(MessageScript::shown().front().text,
              QStringLiteral("The start and end routes are same. Please add a separate route for the return Journey."));
    EXPECT_EQ(MessageScript::shown().front().style, 80);
    EXPECT_FALSE(session().IsInTransaction());
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM place")), 2);

    MessageScript::begin({mb::Cancel});
    EXPECT_FALSE(next("Udupi,Tumkur", "300"));
    EXPECT_FALSE(session().IsInTransaction());
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM place")), 2);
    EXPECT_EQ(entry()->txtr->text(), QStringLiteral("Udupi,Tumkur"));
    EXPECT_TRUE(entry()->isVisible());
}

TEST_P(RouteEntry, TakenRouteNumberIsAnIntegrityMessageAndARepeatTakesTheNext)
{
    db().exec({"INSERT INTO ROUTE VALUES( 101, 'Bang' , 'Tumk', 2, 70, 1, 0, 60, NULL)"});
    EXPECT_FALSE(next("Bangalore,Tumkur,Hassan", "70,100"));
    EXPECT_EQ(MessageScript::texts().last(),
              QStringLiteral(" Integrity violated. Trying again may solve the problem otherwise contact supervisor."));
    EXPECT_FALSE(session().IsInTransaction());
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM place WHERE full_name = 'Hassan'")), 0);
    EXPECT_TRUE(next("Bangalore,Tumkur,Hassan", "70,100"));
    EXPECT_EQ(CurrentRouteId, 102);
}

TEST_P(RouteEntry, AnotherTasksPendingChangesRefuseTheWizardAndAreLeftAlone)
{
    data::Transaction booking(session(), QStringLiteral("the reservation of customer 1234"));
    EXPECT_FALSE(next("Bangalore,Tumkur", "70"));
    ASSERT_EQ(MessageScript::texts().size(), 1);
    EXPECT_TRUE(MessageScript::texts().front().startsWith(QStringLiteral("The reservation of customer 1234")));
    EXPECT_TRUE(booking.isOpen());
}

TEST_P(RouteEntry, ClosingAnyScreenOfTheWizardRollsBackAndClosesAllThree)
{
    ASSERT_TRUE(next("Bangalore,Tumkur,Hassan", "70,100"));
    frequency()->close();
    EXPECT_FALSE(session().IsInTransaction());
    for (const char *name : {"frmAddRoute", "SetFrequency", "SetClass"})
        EXPECT_EQ(findScreen(QLatin1String(name)), nullptr) << name;
    EXPECT_EQ(pending("SELECT count(*) FROM place WHERE full_name = 'Hassan'"), 0);

    // Cancel on the frequency screen asks first; No keeps everything
    ASSERT_TRUE(next("Bangalore,Tumkur,Hassan", "70,100"));
    MessageScript::begin({mb::No, mb::Yes});
    frequency()->Command1->click();
    EXPECT_EQ(MessageScript::shown().front().text, QStringLiteral(" Are you sure you want to cancel Route Addition ? "));
    EXPECT_EQ(MessageScript::shown().front().style, mb::Question | mb::YesNo | mb::DefaultButton2);
    EXPECT_TRUE(session().IsInTransaction());
    frequency()->Command1->click();
    EXPECT_FALSE(session().IsInTransaction());
    EXPECT_EQ(findScreen(QStringLiteral("frmAddRoute")), nullptr);
}

// The server's own rights: a clerk's session that reaches the wizard is refused at its
// first statement, and nothing is left behind.
TEST_P(RouteEntry, ServerRefusesAClerksRouteStatementsAndTheWizardRollsBack)
{
    if (GetParam() != EngineKind::Postgres)
        GTEST_SKIP() << "the embedded file has no roles; its menu rights keep clerks out";
    std::unique_ptr<data::Class1> clerk = db().login(QStringLiteral("clerk1"));
    DbSession = clerk.get();
    const bool moved = next("Bangalore,Hassan", "185");
    DbSession = &session();
    EXPECT_FALSE(moved);
    ASSERT_EQ(MessageScript::texts().size(), 1) << MessageScript::texts().join('|').toStdString();
    EXPECT_TRUE(MessageScript::texts().front().startsWith(QStringLiteral("The route could not be stored.")));
    EXPECT_FALSE(clerk->IsInTransaction());
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM place")), 2);
    closeScreen(QStringLiteral("frmAddRoute"));
}

NBK_ALL_ENGINES(RouteEntry);

}  // namespace
