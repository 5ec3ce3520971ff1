#include "ShellFixture.h"

#include "data/schema/Schema.h"
#include "ui/ChildWindows.h"
#include "ui/Twips.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTimer>

using namespace nbk;
using namespace nbk::test;

namespace {

struct MenuState {
    bool connectEnabled, disconnectEnabled;
    bool reserveVisible, reserveEnabled;
    bool reportVisible;
    bool routeVisible, routeEnabled;
};

class ShellWindows : public ShellTest {
protected:
    void expectMenus(const MenuState &s)
    {
        EXPECT_EQ(menu("mnuConnectConnect")->isEnabled(), s.connectEnabled);
        EXPECT_EQ(menu("mnuConnectDisconnect")->isEnabled(), s.disconnectEnabled);
        EXPECT_TRUE(menu("mnuConnectionExit")->isEnabled());
        EXPECT_TRUE(menu("mnuConnect")->isVisible());
        EXPECT_EQ(menu("mnuReserve")->isVisible(), s.reserveVisible);
        EXPECT_EQ(menu("mnuReserve")->isEnabled(), s.reserveEnabled);
        EXPECT_EQ(menu("mnuReport")->isVisible(), s.reportVisible);
        EXPECT_EQ(menu("mnuRoute")->isVisible(), s.routeVisible);
        EXPECT_EQ(menu("mnuRoute")->isEnabled(), s.routeEnabled);
        EXPECT_TRUE(menu("mnuHelp")->isVisible());
        EXPECT_TRUE(menu("mnuHelp")->isEnabled());
    }
    int openSubWindows() const
    {
        int n = 0;
        for (QMdiSubWindow *s : MainWindow()->mdiArea()->subWindowList())
            if (s->isVisible())
                ++n;
        return n;
    }
};
NBK_ALL_ENGINES(ShellWindows);

class ShellWithDemo : public ShellWindows {
protected:
    bool withDemoData() const override { return true; }
};
NBK_ALL_ENGINES(ShellWithDemo);

constexpr MenuState kStarted{true, false, false, false, false, false, false};
constexpr MenuState kChief{false, true, true, true, true, true, true};
constexpr MenuState kClerk{false, true, true, true, true, true, false};

TEST_P(ShellWindows, StartsWithLoginDialogAndOnlyTheConnectionMenu)
{
    ASSERT_NE(main(), nullptr);
    EXPECT_EQ(main()->windowTitle(), "N.B.K Reservation System");
    EXPECT_TRUE(main()->isVisible());
    EXPECT_FALSE(IsConnected);
    expectMenus(kStarted);

    // the login dialog is a child window of the frame, with its defaults
    app::Login *l = login();
    ASSERT_NE(l, nullptr);
    auto *frame = qobject_cast<QMdiSubWindow *>(l->parentWidget());
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->mdiArea(), main()->mdiArea());
    EXPECT_EQ(frame->size(), ui::twipsToPixels(5580, 4275));
    EXPECT_EQ(l->windowTitle(), "N.B.K Reservation System Login");
    EXPECT_EQ(l->User->text(), "chief");
    EXPECT_EQ(l->Password->text(), data::schema::kDefaultPassword);
    EXPECT_EQ(l->Password->echoMode(), QLineEdit::Password);
    EXPECT_TRUE(l->Server->text().isEmpty());
    EXPECT_FALSE(l->Command1->isEnabled());
    EXPECT_EQ(l->focusWidget(), l->Password);
    EXPECT_TRUE(test::MessageScript::shown().empty());

    // Ro&ute is a submenu of Route-Management holding Add and Delete; Edit sits beside it
    auto *route = main()->findChild<QMenu *>("mnuRoute");
    auto *routeRoute = main()->findChild<QMenu *>("mnuRouteRoute");
    ASSERT_TRUE(route && routeRoute);
    EXPECT_TRUE(route->actions().contains(routeRoute->menuAction()));
    EXPECT_TRUE(route->actions().contains(menu("mnuRouteEdit")));
    EXPECT_TRUE(routeRoute->actions().contains(menu("mnuRouteRouteAdd")));
    EXPECT_TRUE(routeRoute->actions().contains(menu("mnuRouteRouteDelete")));
}

TEST_P(ShellWindows, EnterInPasswordLogsInAsChiefWhileLoginIsDisabled)
{
    app::Login *l = login();
    ASSERT_NE(l, nullptr);
    l->Server->setText(db().server());
    ASSERT_FALSE(l->Command1->isEnabled());
    key(l->Password, Qt::Key_Return, QStringLiteral("\r"));
    flush();

    EXPECT_EQ(LoginState, 2);
    EXPECT_TRUE(IsConnected);
    EXPECT_EQ(DbSession->UserName(), "chief");
    EXPECT_EQ(login(), nullptr);
    ASSERT_NE(form1(), nullptr);
    EXPECT_EQ(form1()->text(), "<Click button to do a query>");
    EXPECT_EQ(openSubWindows(), 1);
    expectMenus(kChief);
    EXPECT_TRUE(test::MessageScript::shown().empty());

    // connected: Connect to Server opens nothing
    menu("mnuConnectConnect")->setEnabled(true);
    menu("mnuConnectConnect")->trigger();
    EXPECT_EQ(login(), nullptr);
}

TEST_P(ShellWindows, OtherAccountsSeeRouteManagementDisabled)
{
    // differing from the supervisor only in letter case is another account
    for (const QString &user : {QStringLiteral("Chief"), QStringLiteral("clerk1")}) {
        SCOPED_TRACE(user.toStdString());
        EndApplication();
        flush();
        StartApplication();
        logIn(user, QStringLiteral("nb"));
        EXPECT_EQ(LoginState, 2);
        EXPECT_EQ(DbSession->UserName(), user);
        expectMenus(kClerk);
        EXPECT_NE(form1(), nullptr);
    }
}

TEST_P(ShellWindows, UserBoxJudgesTheTextBeforeEachKey)
{
    app::Login *l = login();
    l->User->clear();
    type(l->User, QStringLiteral("c"));
    EXPECT_EQ(l->User->text(), "c");
    EXPECT_FALSE(l->Command1->isEnabled()) << "the box was empty before the first key";
    type(l->User, QStringLiteral("l"));
    EXPECT_TRUE(l->Command1->isEnabled());

    key(l->User, Qt::Key_Backspace, QStringLiteral("\b"));
    key(l->User, Qt::Key_Backspace, QStringLiteral("\b"));
    EXPECT_TRUE(l->User->text().isEmpty());
    EXPECT_TRUE(l->Command1->isEnabled()) << "\"c\" was there before the second Backspace";
    // keys that type nothing do not count
    key(l->User, Qt::Key_Shift);
    EXPECT_TRUE(l->Command1->isEnabled());
    type(l->User, QStringLiteral("x"));
    EXPECT_FALSE(l->Command1->isEnabled());

    // Enter moves on: to Password when it is empty, else to Login
    l->User->setText(QStringLiteral("clerk1"));
    l->Password->clear();
    l->User->setFocus();
    key(l->User, Qt::Key_Return, QStringLiteral("\r"));
    EXPECT_EQ(l->focusWidget(), l->Password);
    l->Password->setText(QStringLiteral("nb"));
    l->User->setFocus();
    key(l->User, Qt::Key_Return, QStringLiteral("\r"));
    EXPECT_EQ(l->focusWidget(), l->Command1);

    // the enabled button logs in with the boxes as typed
    l->Server->setText(db().server());
    l->Command1->click();
    flush();
    EXPECT_EQ(LoginState, 2);
    EXPECT_EQ(DbSession->UserName(), "clerk1");
    expectMenus(kClerk);
}

TEST_P(ShellWindows, FailedLoginBringsBackTheDefaultsNotWhatWasTyped)
{
    app::Login *first = login();
    first->Server->setText(db().server());
    logIn(QStringLiteral("clerk1"), QStringLiteral("wrong"));

    EXPECT_EQ(LoginState, 0);
    EXPECT_EQ(test::MessageScript::texts(), QStringList{"Incorrect Username/Password"});
    EXPECT_EQ(test::MessageScript::shown().at(0).title, " Error");
    EXPECT_EQ(test::MessageScript::shown().at(0).icon(), mb::Critical);
    app::Login *again = login();
    ASSERT_NE(again, nullptr);
    EXPECT_NE(again, first);
    EXPECT_EQ(again->User->text(), "chief");
    EXPECT_EQ(again->Password->text(), data::schema::kDefaultPassword);
    EXPECT_TRUE(again->Server->text().isEmpty());
    EXPECT_FALSE(again->Command1->isEnabled());
    EXPECT_EQ(openSubWindows(), 1);
    EXPECT_FALSE(IsConnected);
    expectMenus(kStarted);
    EXPECT_FALSE(main()->isClosed());
}

TEST_P(ShellWindows, FourthAttemptAfterThreeWrongPasswordsEndsTheProgram)
{
    for (int i = 1; i <= 3; ++i) {
        logIn(QStringLiteral("chief"), QStringLiteral("bad"));
        ASSERT_EQ(LoginState, 0) << "attempt " << i;
        ASSERT_NE(login(), nullptr);
        EXPECT_EQ(DbSession->FailedLogins(), i);
        EXPECT_EQ(DbSession->DriverIndex(), 1) << "a wrong password is not a reason to try another driver";
    }
    EXPECT_TRUE(DbSession->LoginDenied());
    const auto connectionString = DbSession->LastConnectionString();
    // the right password no longer helps: the server is not asked again
    logIn(QStringLiteral("chief"), QStringLiteral("nb"));
    EXPECT_EQ(LoginState, 1);
    EXPECT_FALSE(DbSession->GetConnectStatus());
    EXPECT_EQ(DbSession->LastConnectionString(), connectionString) << "the denied attempt reached the server";
    EXPECT_TRUE(DbSession->UserName().isEmpty());
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(test::MessageScript::shown().at(i).icon(), mb::Critical);
    EXPECT_EQ(test::MessageScript::shown().front().title, " Error");
    EXPECT_EQ(test::MessageScript::texts(),
              (QStringList{"Incorrect Username/Password", "Incorrect Username/Password",
                           "Incorrect Username/Password", "Connection Denied. Your session has been terminated. "}));
    EXPECT_EQ(test::MessageScript::shown().back().title, "Error");
    EXPECT_EQ(login(), nullptr);
    EXPECT_TRUE(main()->isClosed());
    EXPECT_FALSE(main()->isVisible());
}

TEST_P(ShellWindows, CancelLeavesTheFrameAndConnectBringsTheDialogBack)
{
    login()->Command2->click();
    flush();
    EXPECT_EQ(login(), nullptr);
    EXPECT_FALSE(main()->isClosed());
    expectMenus(kStarted);

    menu("mnuConnectConnect")->trigger();
    ASSERT_NE(login(), nullptr);
    EXPECT_EQ(login()->User->text(), "chief");
    // a second Connect keeps the one dialog
    app::Login *l = login();
    menu("mnuConnectConnect")->trigger();
    EXPECT_EQ(login(), l);
    EXPECT_EQ(openSubWindows(), 1);
}

TEST_P(ShellWindows, HelpExplainsLoginFailures)
{
    login()->Command3->click();
    ASSERT_EQ(test::MessageScript::shown().size(), 1u);
    const test::ShownMessage &m = test::MessageScript::shown().front();
    EXPECT_EQ(m.title, "Login Help");
    EXPECT_EQ(m.icon(), mb::Question);
    EXPECT_EQ(m.buttons(), mb::OKOnly);
    EXPECT_TRUE(m.text.startsWith("The User Name and Password information can be obtained from your supervisor"));
    EXPECT_NE(login(), nullptr);
}

TEST_P(ShellWithDemo, QueryTestWindowListsTest1Rows)
{
    logIn(QStringLiteral("chief"), QStringLiteral("nb"));
    app::Form1 *f = form1();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->windowTitle(), "Form1");
    EXPECT_EQ(f->Command1->text(), "C_id>124");
    EXPECT_EQ(f->Command2->text(), "All C_Id, Names");

    f->Command2->click();
    QStringList lines = f->text().split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 12) << f->text().toStdString();
    EXPECT_EQ(lines.front(), "Customer Id\tName");
    EXPECT_TRUE(lines.back().isEmpty()) << "the text ends with CR LF";
    QList<int> ids;
    for (int i = 1; i <= 10; ++i) {
        const QStringList cols = lines[i].split(QStringLiteral("\t\t"));
        ASSERT_EQ(cols.size(), 2) << lines[i].toStdString();
        EXPECT_FALSE(cols[1].isEmpty());
        ids << cols[0].toInt();
    }
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(ids, (QList<int>{120, 121, 122, 123, 124, 125, 126, 127, 128, 129}));
    // the box shows one line per row
    EXPECT_EQ(f->Text1->document()->blockCount(), 12);

    f->Command1->click();
    lines = f->text().split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 7) << f->text().toStdString();
    EXPECT_EQ(lines.front(), "Customer Id\tName");
    for (int i = 1; i <= 5; ++i)
        EXPECT_GT(lines[i].section('\t', 0, 0).toInt(), 124) << lines[i].toStdString();
    EXPECT_TRUE(test::MessageScript::shown().empty());
}

TEST_P(ShellWithDemo, QueryFailureIsReportedAndTheWindowStays)
{
    logIn(QStringLiteral("chief"), QStringLiteral("nb"));
    db().exec(QStringLiteral("DROP TABLE test1"));
    form1()->Command2->click();
    ASSERT_EQ(test::MessageScript::shown().size(), 1u);
    EXPECT_EQ(test::MessageScript::shown().front().title, "Error");
    EXPECT_EQ(test::MessageScript::shown().front().icon(), mb::Critical);
    EXPECT_NE(form1(), nullptr);
}

}  // namespace

namespace {
// The real modal box, as the client shows it: a box given no title carries the system's
// name, not the program file's.
TEST(ModalBox, DefaultTitleIsTheSystemsName)
{
    QString title;
    QTimer::singleShot(0, [&] {
        if (QWidget *box = QApplication::activeModalWidget()) {
            title = box->windowTitle();
            box->close();
        }
    });
    nbk::ui::ModalPrompt().ask(QStringLiteral("Cancelling reservation due to non availablity of seats"),
                               nbk::mb::OKOnly, QString());
    EXPECT_EQ(title, QStringLiteral("N.B.K Reservation System"));
}
}  // namespace
