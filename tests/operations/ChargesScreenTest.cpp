// The supervisor's screen of charges and categories: what is typed goes through the same
// procedures as nbk-admin's, a refusal is told and changes nothing, the grids show what is on file.
#include "operations/screens/Screens.h"
#include "operations/screens/frmCharges.h"
#include "support/MessageScript.h"
#include "support/TestDatabase.h"
#include "ui/MsgBox.h"
#include "ui/ScreenRegistry.h"

#include <QCoreApplication>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

using namespace nbk;
using namespace nbk::test;
using test::MessageScript;

namespace {

class ChargesScreen : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        operations::registerScreens();
    }
    void TearDown() override
    {
        closeScreen(QStringLiteral("frmCharges"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        DbTest::TearDown();
    }
};

TEST_P(ChargesScreen, SchedulesAndCategoriesAreKeptAndRefusalsChangeNothing)
{
    db().exec("INSERT INTO cancel_slab VALUES (TO_DATE('01-01-2020 00:00:00','DD-MM-YYYY HH24:MI:SS'), 24, 0.25)");
    auto *w = qobject_cast<frmCharges *>(openScreen(QStringLiteral("frmCharges")));
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->grdSlabs->rowCount(), 1);
    const QDateTime tomorrow(QDate::currentDate().addDays(1), QTime(6, 0));
    struct Case {
        const char *what;
        std::function<void()> act;
        const char *told;  // the start of the one message shown; empty: none
        int slabs, categories;
    };
    const Case cases[] = {
        {"a later schedule", [&] { w->txtFrom->setDateTime(tomorrow); w->txtSlabs->setText("72:10 24:25 0:50");
                                   w->cmdAddSchedule->click(); }, "", 4, 0},
        {"one in force", [&] { w->txtFrom->setDateTime(QDateTime(QDate(2021, 1, 1), QTime(0, 0)));
                               w->txtSlabs->setText("12:5"); w->cmdAddSchedule->click(); }, "ORA-20008", 4, 0},
        {"slabs mistyped", [&] { w->txtSlabs->setText("12:105"); w->cmdAddSchedule->click(); }, "Type the slabs", 4, 0},
        {"no slab", [&] { w->txtSlabs->clear(); w->cmdAddSchedule->click(); }, "A schedule needs", 4, 0},
        {"a child", [&] { w->txtCategory->setText("Child"); w->txtShare->setText("50"); w->txtMinAge->setText("5");
                          w->txtMaxAge->setText("12"); w->cmdSaveCategory->click(); }, "", 4, 1},
        {"a senior", [&] { w->txtCategory->setText("senior"); w->txtShare->setText("75"); w->txtMinAge->setText("60");
                           w->txtMaxAge->setText("120"); w->cmdSaveCategory->click(); }, "", 4, 2},
        {"adult", [&] { w->txtCategory->setText("adult"); w->cmdSaveCategory->click(); }, "A category's name", 4, 2},
        {"ages upside down", [&] { w->txtCategory->setText("youth"); w->txtMinAge->setText("30");
                                   w->txtMaxAge->setText("13"); w->cmdSaveCategory->click(); }, "Category youth", 4, 2},
        {"quoted name", [&] { w->txtCategory->setText("x' OR 'a'='a"); w->txtShare->setText("10");
                              w->txtMinAge->setText("1"); w->cmdSaveCategory->click(); }, "A category's name", 4, 2},
        // both withdrawals are asked first; the answer is Yes
        {"the senior withdrawn", [&] { MessageScript::begin({mb::Yes}); w->txtCategory->setText("senior");
                                       w->cmdWithdrawCategory->click(); }, "Withdraw the fare category senior", 4, 1},
        {"the later schedule withdrawn", [&] { MessageScript::begin({mb::Yes}); w->txtFrom->setDateTime(tomorrow);
                                               w->cmdWithdrawSchedule->click(); }, "Withdraw the cancellation", 1, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        MessageScript::begin();
        c.act();
        const QStringList told = MessageScript::texts();
        if (QByteArray(c.told).isEmpty())
            EXPECT_TRUE(told.isEmpty()) << told.join('|').toStdString();
        else
            EXPECT_TRUE(told.size() == 1 && told[0].contains(QString::fromUtf8(c.told))) << told.join('|').toStdString();
        EXPECT_EQ(w->grdSlabs->rowCount(), c.slabs);
        EXPECT_EQ(db().scalar("SELECT count(*) FROM cancel_slab").toInt(), c.slabs);
        EXPECT_EQ(w->grdCategories->rowCount(), c.categories);
    }
    EXPECT_EQ(w->grdCategories->item(0, 0)->text(), "child");
    EXPECT_EQ(w->grdCategories->item(0, 2)->text(), "5 to 12");
    EXPECT_FALSE(session().IsInTransaction());
}

NBK_ALL_ENGINES(ChargesScreen);

}  // namespace
