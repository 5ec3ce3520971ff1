#include "ShellFixture.h"
#include "data/session/Transaction.h"

#include "ui/ChildWindows.h"
#include "ui/Screen.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>

using namespace nbk;
using namespace nbk::test;

namespace {

struct Flags {
    bool add, edit, del;
    bool operator==(const Flags &) const = default;
};
Flags currentFlags() { return {RouteAddMode, RouteEditMode, RouteDeleteMode}; }

// Stands in for a task screen: records the route flags it was created under.
class FakeScreen : public ui::Screen {
public:
    explicit FakeScreen(std::vector<Flags> *created, bool refuseClose = false)
        : refuse_(refuseClose)
    {
        if (created)
            created->push_back(currentFlags());
    }

protected:
    bool queryClose() override { return !refuse_; }

private:
    bool refuse_;
};

class MainMenu : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        logIn(QStringLiteral("chief"), QStringLiteral("nb"));
        ASSERT_EQ(LoginState, 2);
        test::MessageScript::clearShown();
    }
    void insertUncommittedRow()
    {
        pending_ = data::Transaction(*DbSession, QStringLiteral("the test's work"));
        ASSERT_EQ(DbSession->exec(QStringLiteral("INSERT INTO test1 VALUES (900, 'uncommitted')")), -13);
    }
    data::Transaction pending_;
    int committedRows() { return db().scalar(QStringLiteral("SELECT count(*) FROM test1 WHERE c_id = 900")).toInt(); }
};
NBK_ALL_ENGINES(MainMenu);

TEST_P(MainMenu, ExitOrDisconnectWithOpenTransactionRollsBackAndEndsTheProgram)
{
    const std::pair<const char *, bool> items[] = {{"mnuConnectionExit", false}, {"mnuConnectDisconnect", true}};
    for (const auto &[item, disconnects] : items) {
        SCOPED_TRACE(item);
        if (main()->isClosed()) {
            EndApplication();
            flush();
            StartApplication();
            logIn(QStringLiteral("chief"), QStringLiteral("nb"));
            test::MessageScript::clearShown();
        }
        insertUncommittedRow();
        menu(item)->trigger();
        flush();
        if (disconnects) {
            EXPECT_FALSE(IsConnected);
        }
        EXPECT_FALSE(DbSession->IsInTransaction());
        EXPECT_FALSE(DbSession->GetConnectStatus());
        EXPECT_TRUE(main()->isClosed());
        EXPECT_EQ(form1(), nullptr);
        EXPECT_EQ(committedRows(), 0);
        EXPECT_TRUE(test::MessageScript::shown().empty());
    }
}

TEST_P(MainMenu, ClosingTheFrameRollsBackAndLeavesTheSessionToTheEnd)
{
    insertUncommittedRow();
    EXPECT_TRUE(main()->close());
    EXPECT_FALSE(DbSession->IsInTransaction());
    EXPECT_EQ(committedRows(), 0);
    // the connection closes when the session is destroyed, last of all
    EXPECT_TRUE(DbSession->GetConnectStatus());
    EndApplication();
    EXPECT_EQ(DbSession, nullptr);
}

TEST_P(MainMenu, ScreenThatRefusesToCloseKeepsSessionAndTransaction)
{
    registerScreen(QStringLiteral("frmReservation"), [] { return new FakeScreen(nullptr, true); });
    menu("mnuReserveReserve")->trigger();
    ASSERT_NE(findScreen(QStringLiteral("frmReservation")), nullptr);
    insertUncommittedRow();

    menu("mnuConnectionExit")->trigger();
    EXPECT_FALSE(main()->isClosed());
    EXPECT_TRUE(DbSession->GetConnectStatus());
    EXPECT_TRUE(DbSession->IsInTransaction());
    menu("mnuConnectDisconnect")->trigger();
    EXPECT_FALSE(main()->isClosed());
    EXPECT_TRUE(IsConnected);
    EXPECT_TRUE(DbSession->IsInTransaction());
    EXPECT_FALSE(main()->close());

    pending_.commit();
    EXPECT_EQ(committedRows(), 1);
}

TEST_P(MainMenu, RouteItemsSetTheirFlagsBeforeOrAfterOpening)
{
    std::vector<Flags> created;
    registerScreen(QStringLiteral("frmAddRoute"), [&] { return new FakeScreen(&created); });
    registerScreen(QStringLiteral("frmEditRoute"), [&] { return new FakeScreen(&created); });

    menu("mnuRouteRouteAdd")->trigger();
    ASSERT_EQ(created.size(), 1u);
    EXPECT_EQ(created.back(), (Flags{true, false, false}));
    EXPECT_EQ(currentFlags(), (Flags{true, false, false}));

    // the search screen opens under the flags Add left; Edit's flags follow
    menu("mnuRouteEdit")->trigger();
    ASSERT_EQ(created.size(), 2u);
    EXPECT_EQ(created.back(), (Flags{true, false, false}));
    EXPECT_EQ(currentFlags(), (Flags{false, true, false}));

    closeScreen(QStringLiteral("frmEditRoute"));
    menu("mnuRouteRouteDelete")->trigger();
    ASSERT_EQ(created.size(), 3u);
    EXPECT_EQ(created.back(), (Flags{false, false, true}));
    EXPECT_EQ(currentFlags(), (Flags{false, false, true}));

    // an open search screen is reused, only the flags change
    menu("mnuRouteEdit")->trigger();
    EXPECT_EQ(created.size(), 3u);
    EXPECT_EQ(currentFlags(), (Flags{false, true, false}));
}

TEST_P(MainMenu, StatusAndSeatMatrixOpenOneScreen)
{
    int made = 0;
    registerScreen(QStringLiteral("BusMatrix"), [&] {
        ++made;
        return new FakeScreen(nullptr);
    });
    menu("mnuReportStatus")->trigger();
    QWidget *first = findScreen(QStringLiteral("BusMatrix"));
    ASSERT_NE(first, nullptr);
    menu("mnuReportSMatrix")->trigger();
    EXPECT_EQ(made, 1);
    EXPECT_EQ(findScreen(QStringLiteral("BusMatrix")), first);
    auto *sub = qobject_cast<QMdiSubWindow *>(first->parentWidget());
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub->mdiArea(), main()->mdiArea());
}

}  // namespace

// The frame cannot shrink below its largest task screen (the route wizard's steps
// included), and a child window that does not fit is reached by scrolling.
TEST_P(MainMenu, MinimumSizeFitsEveryTaskScreenAndTheAreaScrolls)
{
    main()->resize(400, 300);
    QMdiArea *area = main()->mdiArea();
    const QSize room = area->viewport()->size();
    for (QString name : registeredScreens()) {
        if (name == QLatin1String("Login"))
            continue;
        openScreen(name);
        // the wizard's later steps wait hidden until its Next >>
        for (const char *later : {"SetFrequency", "SetClass"})
            if (QWidget *w = findScreen(QString::fromLatin1(later)))
                ui::showChildWindow(w);
        for (QMdiSubWindow *sub : area->subWindowList()) {
            EXPECT_LE(sub->width(), room.width()) << sub->widget()->objectName().toStdString();
            EXPECT_LE(sub->height(), room.height()) << sub->widget()->objectName().toStdString();
            sub->close();
        }
        flush();
    }

    QWidget *request = openScreen(QStringLiteral("frmReservation"));
    ASSERT_NE(request, nullptr);
    request->parentWidget()->move(room.width() - 40, room.height() - 40);
    QCoreApplication::processEvents();
    EXPECT_TRUE(area->horizontalScrollBar()->isVisible());
    EXPECT_TRUE(area->verticalScrollBar()->isVisible());
}
