// The route entry screen over the database: places and segments found or created, the
// summary, and every way the first step is left without a route.
#include "RouteFixture.h"

#include "data/SqlText.h"
#include "data/Transaction.h"
#include "routes/RouteMap.h"

#include <QAbstractButton>
#include <QLabel>

using namespace nbk;
using namespace nbk::test;

namespace {

const QString kSame = QStringLiteral(
    "The start and end routes are same. Please add a separate route for the return Journey.");

class RouteEntry : public RouteTest {
protected:
    void SetUp() override
    {
        RouteTest::SetUp();
        db().exec({"INSERT INTO PLACE VALUES('Bang', 'Bangalore')", "INSERT INTO PLACE VALUES('Tumk', 'Tumkur')"});
    }

    QString placeCode(const char *name)
    {
        return sessionScalar(QStringLiteral("SELECT place FROM place WHERE full_name = '%1'").arg(data::sqlText(QLatin1String(name))))
            .toString();
    }
};

TEST_P(RouteEntry, OpensEmptyWithModerateFuelAndTheMapAppendsCities)
{
    frmAddRoute *f = openAdd();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->windowTitle(), QStringLiteral("Add New Route"));
    EXPECT_EQ(f->cmbfpi->count(), 3);
    EXPECT_EQ(f->cmbfpi->currentText(), QStringLiteral("Moderate Consumption"));
    EXPECT_FALSE(f->chkEst->isChecked());
    EXPECT_FALSE(frequency()->isVisible());
    EXPECT_FALSE(classes()->isVisible());

    auto press = [&](const char *spot) {
        auto *b = f->map->findChild<QAbstractButton *>(QString::fromLatin1(spot));
        ASSERT_NE(b, nullptr) << spot;
        b->click();
    };
    press("Bijapur");
    EXPECT_EQ(f->txtr->text(), QStringLiteral("Bijapur "));
    press("Tumkur");
    press("Hubli");
    press("Mercara");
    press("NandiHills");
    EXPECT_EQ(f->txtr->text(), QStringLiteral("Bijapur ,Tumkur,Mercera,Nandi Hills"));
    f->txtr->clear();
    press("Mercara");
    EXPECT_EQ(f->txtr->text(), QStringLiteral("Mercera"));
}

TEST_P(RouteEntry, SpeedReplacesTheJourneyTimeAndUncheckingClearsBoth)
{
    frmAddRoute *f = openAdd();
    f->Text3->setText(QStringLiteral("300"));
    EXPECT_FALSE(f->chkEst->isEnabled());
    EXPECT_FALSE(f->Text4->isEnabled());
    f->Text3->clear();
    EXPECT_TRUE(f->Text4->isEnabled());

    f->Text4->setText(QStringLiteral("50"));
    EXPECT_TRUE(f->chkEst->isChecked());
    EXPECT_EQ(f->Text3->text(), QStringLiteral("Auto Estimated by Average Kmph "));
    EXPECT_FALSE(f->Text3->isEnabled());
    EXPECT_TRUE(f->chkEst->isEnabled() && f->Text4->isEnabled() && f->Label10->isEnabled());

    f->chkEst->click();  // unchecks
    EXPECT_FALSE(f->chkEst->isChecked());
    EXPECT_TRUE(f->Text3->text().isEmpty());
    EXPECT_TRUE(f->Text4->text().isEmpty());
    EXPECT_TRUE(f->Text3->isEnabled());
    EXPECT_TRUE(f->chkEst->isEnabled() && f->Text4->isEnabled() && f->Label10->isEnabled());

    f->chkEst->click();  // checks
    EXPECT_EQ(f->Text3->text(), QStringLiteral("Auto Estimated by Average Kmph "));
    EXPECT_FALSE(f->Text3->isEnabled());
}

TEST_P(RouteEntry, NextStoresRouteAndPathInOneOpenTransaction)
{
    frmAddRoute *f = openAdd();
    enter(f, QStringLiteral("Bangalore, Tumkur ;Arsikere,"), QStringLiteral("070,105"), QStringLiteral("10"),
          QString());
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
    EXPECT_TRUE(session().IsInTransaction());
    // 175 km at 50 km/h with two 10-minute halts: 230 minutes
    data::ResultSet route = session().GetCurrentConnection().query(
        QStringLiteral("SELECT place1, place2, stops, km, fpi, stoptime, travelmins FROM route WHERE route_id = 101"));
    ASSERT_FALSE(route.eof());
    EXPECT_EQ(route.value(0).toString(), QStringLiteral("Bang"));
    EXPECT_EQ(route.value(1).toString(), QStringLiteral("Arsi"));
    EXPECT_EQ(route.value(2).toInt(), 3);
    EXPECT_EQ(route.value(3).toDouble(), 175);
    EXPECT_EQ(route.value(4).toInt(), 3);
    EXPECT_EQ(route.value(5).toDouble(), 10);
    EXPECT_EQ(route.value(6).toDouble(), 230);
    EXPECT_EQ(placeCode("Arsikere"), QStringLiteral("Arsi"));
    EXPECT_EQ(sessionScalar(QStringLiteral("SELECT count(*) FROM path_order po, route_element re WHERE po.route_id = 101 "
                                           "AND re.reid = po.reid AND ((po.sequence_no = 1 AND re.place1 = 'Bang' AND "
                                           "re.place2 = 'Tumk' AND re.km = 70) OR (po.sequence_no = 2 AND re.place1 = "
                                           "'Tumk' AND re.place2 = 'Arsi' AND re.km = 105))"))
                  .toInt(),
              2);
    // nothing is committed before the classes' OK
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM route")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM place")), 2);
}

TEST_P(RouteEntry, ExistingSegmentIsReusedAndTheReverseDirectionIsANewOne)
{
    db().exec({"INSERT INTO ROUTE_ELEMENT values(5, 'Bang', 'Tumk', 70)"});
    frmAddRoute *f = openAdd();
    enter(f, QStringLiteral("Bangalore,Tumkur,Bangalore,Tumkur"), QStringLiteral("70,70,70"));
    f->ok->click();
    EXPECT_EQ(sessionScalar(QStringLiteral("SELECT count(*) FROM route_element")).toInt(), 2);
    EXPECT_EQ(sessionScalar(QStringLiteral("SELECT reid FROM path_order WHERE route_id = 101 AND sequence_no = 3")).toInt(), 5);
    EXPECT_EQ(sessionScalar(QStringLiteral("SELECT reid FROM path_order WHERE route_id = 101 AND sequence_no = 2")).toInt(),
              1001);
}

TEST_P(RouteEntry, NewPlacesTakeTheFirstFreeCodeAndOtherLetterCaseIsANewPlace)
{
    db().exec({"INSERT INTO PLACE VALUES('Myso', 'Mysuru')", "INSERT INTO PLACE VALUES('Agr7', 'Agra Fort')"});
    frmAddRoute *f = openAdd();
    enter(f, QStringLiteral("Mysore,bangalore,Agra,Mandya's Gate"), QStringLiteral("1,2,3"));
    f->ok->click();
    ASSERT_TRUE(isShown("SetFrequency")) << MessageScript::texts().join('|').toStdString();
    EXPECT_EQ(placeCode("Mysore"), QStringLiteral("Myor"));
    EXPECT_EQ(placeCode("bangalore"), QStringLiteral("bang"));
    EXPECT_EQ(placeCode("Bangalore"), QStringLiteral("Bang"));
    // four letters: straight to the sequence; place_seq's values so far were 1 (Mysore), 2 (bangalore), 3
    EXPECT_EQ(placeCode("Agra"), QStringLiteral("Ag3"));
    // typed quotes are stored as typed
    EXPECT_EQ(placeCode("Mandya's Gate"), QStringLiteral("Mand"));
}

TEST_P(RouteEntry, TakenSequenceCodeTriesFurtherValuesAndGivesUpAfterNine)
{
    db().exec({"INSERT INTO PLACE VALUES('Ag1', 'x1')", "INSERT INTO PLACE VALUES('Ag2', 'x2')"});
    frmAddRoute *f = openAdd();
    enter(f, QStringLiteral("Agra,Tumkur"), QStringLiteral("5"));
    f->ok->click();
    ASSERT_TRUE(isShown("SetFrequency"));
    EXPECT_EQ(placeCode("Agra"), QStringLiteral("Ag3"));
    frequency()->Command3->click();  // << Back
    EXPECT_FALSE(session().IsInTransaction());

    // place_seq went on to 4; codes Ag4 .. Ag20 are all taken
    for (int i = 4; i <= 20; ++i)
        db().exec(QStringLiteral("INSERT INTO PLACE VALUES('Ag%1', 'y%1')").arg(i));
    MessageScript::clearShown();
    f->ok->click();
    ASSERT_EQ(MessageScript::texts().size(), 1);
    EXPECT_TRUE(MessageScript::texts().front().startsWith(QStringLiteral("Unable to generate a unique code"))) <<
        MessageScript::texts().front().toStdString();
    EXPECT_FALSE(session().IsInTransaction());
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM place WHERE full_name = 'Agra'")), 0);
}

TEST_P(RouteEntry, SegmentIdsTakeNineAttemptsThenTheRouteIsRolledBack)
{
    for (int id = 1001; id <= 1008; ++id)
        db().exec(QStringLiteral("INSERT INTO ROUTE_ELEMENT values(%1, 'Tumk', 'Tumk', 1)").arg(id));
    frmAddRoute *f = openAdd();
    enter(f, QStringLiteral("Bangalore,Tumkur"), QStringLiteral("70"));
    f->ok->click();
    ASSERT_TRUE(isShown("SetFrequency")) << MessageScript::texts().join('|').toStdString();
    EXPECT_EQ(sessionScalar(QStringLiteral("SELECT reid FROM path_order WHERE route_id = 101")).toInt(), 1009);
    frequency()->Command3->click();

    // reid_seq now stands at 1009: the next nine values are all taken
    for (int id = 1010; id <= 1018; ++id)
        db().exec(QStringLiteral("INSERT INTO ROUTE_ELEMENT values(%1, 'Tumk', 'Tumk', 1)").arg(id));
    MessageScript::clearShown();
    f->ok->click();
    ASSERT_EQ(MessageScript::shown().size(), 1u);
    EXPECT_EQ(MessageScript::shown().front().text,
              QStringLiteral("Route Element already exists and unable to generate unique ID Please Try again"));
    EXPECT_EQ(MessageScript::shown().front().title, QStringLiteral("Internal Error"));
    EXPECT_FALSE(session().IsInTransaction());
    EXPECT_FALSE(isShown("SetFrequency"));
}

TEST_P(RouteEntry, SameStartAndEndAndCancelInTheSummaryRollBackAndKeepTheEntries)
{
    frmAddRoute *f = openAdd();
    enter(f, QStringLiteral("Udupi"), QString());
    f->ok->click();
    ASSERT_EQ(MessageScript::shown().size(), 1u);
    EXPECT_EQ(MessageScript::shown().front().text, kSame);
    EXPECT_EQ(MessageScript::shown().front().style, 80);
    EXPECT_FALSE(session().IsInTransaction());
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM place")), 2);

    MessageScript::begin({mb::Cancel});
    enter(f, QStringLiteral("Udupi,Tumkur"), QStringLiteral("300"));
    f->ok->click();
    EXPECT_EQ(MessageScript::shown().size(), 1u);
    EXPECT_FALSE(session().IsInTransaction());
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM place")), 2);
    EXPECT_EQ(f->txtr->text(), QStringLiteral("Udupi,Tumkur"));
    EXPECT_TRUE(f->isVisible());
    EXPECT_FALSE(isShown("SetFrequency"));
}

TEST_P(RouteEntry, TakenRouteNumberIsAnIntegrityMessageAndARollback)
{
    db().exec({"INSERT INTO ROUTE VALUES( 101, 'Bang' , 'Tumk', 2, 70, 1, 0, 60 )"});
    frmAddRoute *f = openAdd();
    enter(f, QStringLiteral("Bangalore,Tumkur,Hassan"), QStringLiteral("70,100"));
    f->ok->click();
    ASSERT_EQ(MessageScript::texts().size(), 2);
    EXPECT_EQ(MessageScript::texts().last(),
              QStringLiteral(" Integrity violated. Trying again may solve the problem otherwise contact supervisor."));
    EXPECT_FALSE(session().IsInTransaction());
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM place WHERE full_name = 'Hassan'")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM path_order")), 0);

    // a repeat takes the next number
    MessageScript::clearShown();
    f->ok->click();
    EXPECT_EQ(CurrentRouteId, 102);
    EXPECT_TRUE(isShown("SetFrequency"));
}

TEST_P(RouteEntry, AnotherTasksPendingChangesRefuseTheWizardAndAreLeftAlone)
{
    data::Transaction booking(session(), QStringLiteral("the reservation of customer 1234"));
    ASSERT_TRUE(booking.isOpen());
    frmAddRoute *f = openAdd();
    enter(f, QStringLiteral("Bangalore,Tumkur"), QStringLiteral("70"));
    f->ok->click();
    ASSERT_EQ(MessageScript::texts().size(), 1);
    EXPECT_TRUE(MessageScript::texts().front().startsWith(QStringLiteral("The reservation of customer 1234")));
    EXPECT_TRUE(booking.isOpen());
    EXPECT_FALSE(isShown("SetFrequency"));
    EXPECT_EQ(sessionScalar(QStringLiteral("SELECT count(*) FROM route")).toInt(), 0);
}

TEST_P(RouteEntry, ClosingAnyScreenOfTheWizardRollsBackAndClosesAllThree)
{
    frmAddRoute *f = openAdd();
    enter(f, QStringLiteral("Bangalore,Tumkur,Hassan"), QStringLiteral("70,100"));
    f->ok->click();
    ASSERT_TRUE(isShown("SetFrequency"));
    frequency()->close();
    EXPECT_FALSE(session().IsInTransaction());
    EXPECT_EQ(findScreen(QStringLiteral("frmAddRoute")), nullptr);
    EXPECT_EQ(findScreen(QStringLiteral("SetFrequency")), nullptr);
    EXPECT_EQ(findScreen(QStringLiteral("SetClass")), nullptr);
    EXPECT_EQ(sessionScalar(QStringLiteral("SELECT count(*) FROM place WHERE full_name = 'Hassan'")).toInt(), 0);

    // Cancel on the frequency screen asks first; No keeps everything
    f = openAdd();
    enter(f, QStringLiteral("Bangalore,Tumkur,Hassan"), QStringLiteral("70,100"));
    f->ok->click();
    MessageScript::begin({mb::No, mb::Yes});
    frequency()->Command1->click();
    EXPECT_EQ(MessageScript::shown().front().text, QStringLiteral(" Are you sure you want to cancel Route Addition ? "));
    EXPECT_EQ(MessageScript::shown().front().style, mb::Question | mb::YesNo);
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
    frmAddRoute *f = openAdd();
    enter(f, QStringLiteral("Bangalore,Hassan"), QStringLiteral("185"));
    f->ok->click();
    DbSession = &session();
    ASSERT_EQ(MessageScript::texts().size(), 1) << MessageScript::texts().join('|').toStdString();
    EXPECT_TRUE(MessageScript::texts().front().startsWith(QStringLiteral("The route could not be stored.")));
    EXPECT_FALSE(clerk->IsInTransaction());
    EXPECT_FALSE(isShown("SetFrequency"));
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM place")), 2);
    closeScreen(QStringLiteral("frmAddRoute"));
}

NBK_ALL_ENGINES(RouteEntry);

}  // namespace
