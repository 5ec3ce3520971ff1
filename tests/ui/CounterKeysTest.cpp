#include "ShellFixture.h"

#include "common/Clock.h"
#include "reservation/screens/Instances.h"
#include "reservation/screens/frmCustomer.h"
#include "reservation/screens/frmPlaces.h"
#include "common/ReservationState.h"
#include "ui/FocusMark.h"
#include "ui/Twips.h"

#include <QComboBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

using namespace nbk;
using namespace nbk::test;
using nbk::test::MessageScript;

namespace {

// The clerk at the keyboard on the demonstration network, with the journey request's
// opening values (27 October, 10:00, Arsi to Shim) a week ahead.
class CounterKeys : public ShellTest {
protected:
    bool withDemoData() const override { return true; }

    void SetUp() override
    {
        ShellTest::SetUp();
        setFixedNow(QDateTime(QDate(2030, 10, 20), QTime(8, 0)));
        main()->activateWindow();
        settle();
        logIn(QStringLiteral("clerk1"), QStringLiteral("nb"));
        settle();
        ASSERT_TRUE(IsConnected);
    }
    void TearDown() override
    {
        setFixedNow(QDateTime());
        ShellTest::TearDown();
    }

    // Lets posted events (activation, layout, deferred deletes) run, as the event loop would.
    static void settle()
    {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
        flush();
    }

    // A key pressed where the keyboard focus is, as the window system delivers it.
    static void press(int k, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString &text = QString())
    {
        QWidget *target = QApplication::activePopupWidget();
        if (!target)
            target = QApplication::focusWidget();
        if (!target)
            target = QApplication::activeWindow();
        ASSERT_NE(target, nullptr) << "no widget has the keyboard focus";
        QKeyEvent e(QEvent::KeyPress, k, mods, text);
        QApplication::sendEvent(target, &e);
        settle();
    }
    static void enter() { press(Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r")); }
    static void escape() { press(Qt::Key_Escape, Qt::NoModifier, QStringLiteral("\x1b")); }
    static void tab() { press(Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t")); }
    static void typeText(const QString &text)
    {
        for (QChar c : text)
            press(c.toUpper().unicode(), Qt::NoModifier, QString(c));
    }
    // Replaces the text of the focused box, as Backspace and typing do.
    static void retype(const QString &text)
    {
        auto *e = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        ASSERT_NE(e, nullptr);
        e->end(false);
        while (!e->text().isEmpty())
            press(Qt::Key_Backspace, Qt::NoModifier, QStringLiteral("\b"));
        typeText(text);
    }
    // Alt+menu letter, then the item's letter, as the menu bar's access keys go.
    static void menuKeys(char menuLetter, char itemLetter)
    {
        press(Qt::Key_A + (menuLetter - 'A'), Qt::AltModifier, QString(QChar::fromLatin1(menuLetter).toLower()));
        ASSERT_NE(qobject_cast<QMenu *>(QApplication::activePopupWidget()), nullptr) << "menu " << menuLetter;
        press(Qt::Key_A + (itemLetter - 'A'), Qt::NoModifier, QString(QChar::fromLatin1(itemLetter).toLower()));
    }
    static QString focusName()
    {
        QWidget *w = QApplication::focusWidget();
        return w ? w->objectName() : QStringLiteral("(none)");
    }
    static QMdiSubWindow *frameOf(const char *screen)
    {
        QWidget *w = findScreen(QString::fromLatin1(screen));
        return w ? qobject_cast<QMdiSubWindow *>(w->parentWidget()) : nullptr;
    }
    static QSize twips(int w, int h) { return {ui::twipsToDeviceX(w, *MainWindow()), ui::twipsToDeviceY(h, *MainWindow())}; }
    // The room the title bar leaves beside the whole caption at `width` (negative: cut).
    static int captionRoom(QMdiSubWindow *sub, int width)
    {
        QStyleOptionTitleBar opt;
        opt.initFrom(sub);
        opt.text = sub->windowTitle();
        opt.titleBarFlags = sub->windowFlags();
        opt.subControls = QStyle::SC_All;
        opt.rect = QRect(0, 0, width, sub->style()->pixelMetric(QStyle::PM_TitleBarHeight, &opt, sub));
        const QRect label = sub->style()->subControlRect(QStyle::CC_TitleBar, &opt, QStyle::SC_TitleBarLabel, sub);
        QFont bold = QApplication::font("QMdiSubWindowTitleBar");
        bold.setBold(true);
        return label.width() - QFontMetrics(bold).horizontalAdvance(opt.text);
    }
    // The caption shows whole in the frame's title bar.
    static void expectWholeCaption(QMdiSubWindow *sub)
    {
        EXPECT_GE(captionRoom(sub, sub->width()), 0) << sub->windowTitle().toStdString();
    }
    // Opens at the size it was designed at, grown only as far as its contents ask for in the
    // font at hand (a font with taller lines, as Noto Sans, makes a window taller) and, in
    // width, as far as the caption with the frame's border beside it asks for.
    static void expectDesignedSize(QMdiSubWindow *sub, int widthTwips, int heightTwips)
    {
        ASSERT_NE(sub, nullptr);
        const QSize fit = twips(widthTwips, heightTwips).expandedTo(sub->minimumSizeHint());
        EXPECT_EQ(sub->height(), fit.height()) << sub->windowTitle().toStdString();
        constexpr int border = 8;
        const int shortfall = qMax(0, border - captionRoom(sub, fit.width()));
        EXPECT_EQ(sub->width(), fit.width() + shortfall) << sub->windowTitle().toStdString();
    }
    // Never smaller than its contents, caption included.
    static void expectRoomForContents(QMdiSubWindow *sub)
    {
        ASSERT_NE(sub, nullptr);
        EXPECT_GE(sub->width(), sub->minimumSizeHint().width()) << sub->windowTitle().toStdString();
        EXPECT_GE(sub->height(), sub->minimumSizeHint().height()) << sub->windowTitle().toStdString();
        expectWholeCaption(sub);
    }

    int count(const QString &sql) { return db().scalar(sql).toInt(); }

    // Books one seat Arsikere to Shimoga with keys alone, stopping on the customer
    // details screen; returns it.
    frmCustomer *bookToCustomerDetails()
    {
        menuKeys('R', 'M');
        EXPECT_EQ(focusName(), "txtDD");
        enter();  // the opening values, Next >>
        auto *places = findScreenAs<frmPlaces>(QStringLiteral("frmPlaces"));
        EXPECT_NE(places, nullptr) << MessageScript::texts().join('|').toStdString();
        if (!places)
            return nullptr;
        EXPECT_EQ(focusName(), "cmbFrom");
        EXPECT_EQ(places->cmbFrom->currentText(), "Arsikere");
        EXPECT_EQ(places->cmbTo->currentText(), "Shimoga");
        enter();  // Next >>; the run planned from the timetable is accepted (Yes)
        auto *choice = findScreenAs<Instances>(QStringLiteral("Instances"));
        EXPECT_NE(choice, nullptr) << MessageScript::texts().join('|').toStdString();
        if (!choice)
            return nullptr;
        EXPECT_EQ(focusName(), "cmbInstance");
        press(Qt::Key_Down);
        EXPECT_EQ(choice->cmbInstance->currentIndex(), 0);
        enter();  // OK
        EXPECT_EQ(MessageScript::texts().last(), "Reservation Successful");
        auto *customer = findScreenAs<frmCustomer>(QStringLiteral("frmCustomer"));
        EXPECT_NE(customer, nullptr);
        if (customer) {
            EXPECT_EQ(focusName(), "txtname");
        }
        return customer;
    }
    // A booking completed with keys; returns its customer id.
    QString book(const QString &phone)
    {
        frmCustomer *customer = bookToCustomerDetails();
        EXPECT_NE(customer, nullptr);
        typeText(QStringLiteral("Ravi"));
        tab();
        typeText(phone);
        tab();
        typeText(QStringLiteral("40"));
        enter();
        EXPECT_EQ(MessageScript::headlines().last(), "Update complete.");
        EXPECT_EQ(db().scalar(QStringLiteral("SELECT phone FROM customer")).toString(), phone);
        return db().scalar(QStringLiteral("SELECT customer_id FROM customer")).toString();
    }
    // The program started again, its login dialog in front.
    app::Login *restart()
    {
        menuKeys('C', 'D');  // Disconnect ends the program
        EndApplication();
        flush();
        StartApplication();
        main()->activateWindow();
        settle();
        return login();
    }
};
NBK_ALL_ENGINES(CounterKeys);

TEST_P(CounterKeys, WholeBookingWithKeysOnlyOpensEachWindowAtItsSize)
{
    menuKeys('R', 'M');
    ASSERT_NE(frameOf("frmReservation"), nullptr);
    expectRoomForContents(frameOf("frmReservation"));
    enter();

    QMdiSubWindow *places = frameOf("frmPlaces");
    ASSERT_NE(places, nullptr);
    expectDesignedSize(places, 8325, 6885);
    expectRoomForContents(places);
    // the picture is drawn, not an empty area
    auto *image = findScreenAs<frmPlaces>(QStringLiteral("frmPlaces"))->Image1;
    const QImage picture = image->pixmap().toImage();
    ASSERT_FALSE(picture.isNull());
    EXPECT_GT(picture.width(), 100);
    EXPECT_NE(picture.pixel(picture.width() / 2, picture.height() / 2), picture.pixel(2, 2));
    enter();

    auto *choice = findScreenAs<Instances>(QStringLiteral("Instances"));
    ASSERT_NE(choice, nullptr);
    ASSERT_EQ(choice->cmbInstance->count(), 1);
    press(Qt::Key_Down);
    // the chosen entry shows whole, to its departure time
    const QString entry = choice->cmbInstance->currentText();
    EXPECT_TRUE(entry.endsWith(QStringLiteral(" departing Arsi at 10:07:00 Hrs "))) << entry.toStdString();
    QStyleOptionComboBox opt;
    opt.initFrom(choice->cmbInstance);
    opt.editable = false;
    opt.currentText = entry;
    const QRect field =
        choice->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, choice->cmbInstance);
    EXPECT_GE(field.width(), choice->cmbInstance->fontMetrics().horizontalAdvance(entry));
    EXPECT_EQ(choice->cmbInstance->toolTip(), entry);
    expectRoomForContents(frameOf("Instances"));
    enter();

    auto *customer = findScreenAs<frmCustomer>(QStringLiteral("frmCustomer"));
    ASSERT_NE(customer, nullptr);
    expectDesignedSize(frameOf("frmCustomer"), 7005, 5865);
    expectRoomForContents(frameOf("frmCustomer"));
    EXPECT_EQ(focusName(), "txtname");
    typeText(QStringLiteral("Ravi Kumar"));
    tab();
    typeText(QStringLiteral("080-2345678"));
    tab();
    typeText(QStringLiteral("35"));
    tab();
    EXPECT_EQ(focusName(), "cmbGen");
    typeText(QStringLiteral("F"));
    enter();  // Ok
    EXPECT_EQ(MessageScript::headlines().last(), "Update complete.");
    EXPECT_EQ(findScreen(QStringLiteral("frmCustomer")), nullptr);
    EXPECT_FALSE(DbSession->IsInTransaction());

    data::ResultSet c = db().query(QStringLiteral("SELECT name, phone, age, gender FROM customer"));
    ASSERT_FALSE(c.eof());
    EXPECT_EQ(c.value(0).toString(), "Ravi Kumar");
    EXPECT_EQ(c.value(1).toString(), "080-2345678");
    EXPECT_EQ(c.value(2).toInt(), 35);
    EXPECT_EQ(c.value(3).toString(), "F");
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM seat_matrix")), 1);
}

// A font with taller lines than the one the screens were laid out in (Noto Sans, say, as the
// desktop's sans-serif) opens the customer window as tall as its contents need and no taller.
TEST_P(CounterKeys, TallerFontOpensTheCustomerWindowAsTallAsItsContents)
{
    struct FontBack {
        QFont was = QApplication::font();
        ~FontBack() { QApplication::setFont(was); }
    } back;
    QFont taller = back.was;
    taller.setPointSizeF(back.was.pointSizeF() * 1.2);
    QApplication::setFont(taller);
    ASSERT_NE(bookToCustomerDetails(), nullptr);
    QMdiSubWindow *customer = frameOf("frmCustomer");
    expectDesignedSize(customer, 7005, 5865);
    EXPECT_GT(customer->height(), twips(7005, 5865).height());
    expectRoomForContents(customer);
}

TEST_P(CounterKeys, EscapeLeavesTheCustomerDetailsAndDropsTheBooking)
{
    frmCustomer *customer = bookToCustomerDetails();
    ASSERT_NE(customer, nullptr);
    ASSERT_TRUE(DbSession->IsInTransaction());
    escape();  // Cancel
    EXPECT_EQ(findScreen(QStringLiteral("frmCustomer")), nullptr);
    EXPECT_FALSE(DbSession->IsInTransaction());
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM customer")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM seat_matrix")), 0);

    // Escape on the request screen closes it
    menuKeys('R', 'M');
    ASSERT_NE(findScreen(QStringLiteral("frmReservation")), nullptr);
    escape();
    EXPECT_EQ(findScreen(QStringLiteral("frmReservation")), nullptr);
}

TEST_P(CounterKeys, CancellationWithKeysOnly)
{
    const QString cid = book(QStringLiteral("+91 98450 12345"));
    ASSERT_FALSE(cid.isEmpty());

    menuKeys('R', 'N');
    QMdiSubWindow *frame = frameOf("frmCancel");
    ASSERT_NE(frame, nullptr);
    expectRoomForContents(frame);
    EXPECT_EQ(focusName(), "txtcid");
    typeText(cid);
    MessageScript::clearShown();
    enter();  // Cancel Tickets; Enter at the question takes its default, No
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM seat_matrix")), 1);
    ASSERT_NE(findScreen(QStringLiteral("frmCancel")), nullptr);
    MessageScript::clearShown();
    MessageScript::answer(mb::Yes);
    enter();
    ASSERT_EQ(MessageScript::texts().size(), 2);
    EXPECT_TRUE(MessageScript::texts()[0].startsWith("Are you sure to cancel customer no. " + cid + "\r\n"));
    EXPECT_EQ(MessageScript::texts()[1], "  Cancel Done ");
    EXPECT_EQ(findScreen(QStringLiteral("frmCancel")), nullptr);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM customer")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM seat_matrix")), 0);

    // Escape is "Exit without Cancel"
    menuKeys('R', 'N');
    ASSERT_NE(findScreen(QStringLiteral("frmCancel")), nullptr);
    escape();
    EXPECT_EQ(findScreen(QStringLiteral("frmCancel")), nullptr);
}

TEST_P(CounterKeys, EnquiryWithKeysOnlyListsTheRunAndBooksNothing)
{
    ASSERT_FALSE(book(QStringLiteral("08023456789")).isEmpty());

    menuKeys('R', 'E');
    ASSERT_NE(frameOf("frmEnquiry"), nullptr);
    expectRoomForContents(frameOf("frmEnquiry"));
    EXPECT_EQ(focusName(), "txtDD");
    // what is typed replaces the opening text of a date or time box
    typeText(QStringLiteral("27"));
    EXPECT_EQ(qobject_cast<QLineEdit *>(QApplication::focusWidget())->text(), "27");
    tab();
    EXPECT_EQ(focusName(), "cmbMonth");
    typeText(QStringLiteral("O"));  // October
    tab();
    tab();
    EXPECT_EQ(focusName(), "txthh");
    typeText(QStringLiteral("10"));
    tab();
    typeText(QStringLiteral("00"));
    EXPECT_EQ(qobject_cast<QLineEdit *>(QApplication::focusWidget())->text(), "00");
    MessageScript::clearShown();
    enter();  // Next >>
    if (findScreen(QStringLiteral("frmPlaces")))
        enter();  // the places as offered
    auto *choice = findScreenAs<Instances>(QStringLiteral("Instances"));
    ASSERT_NE(choice, nullptr) << MessageScript::texts().join('|').toStdString();
    EXPECT_EQ(choice->Label1->text(), "These are the available Routes");
    ASSERT_GE(choice->cmbInstance->count(), 1);
    enter();  // OK without a choice: told to choose, the screen stays
    EXPECT_EQ(MessageScript::texts().last(), "Please select an instance before proceeding");
    EXPECT_EQ(focusName(), "cmbInstance");
    press(Qt::Key_Down);
    enter();
    EXPECT_EQ(findScreen(QStringLiteral("Instances")), nullptr);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM customer")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM seat_matrix")), 1);
}

// Tab runs through the controls as they stand on the screen, top to bottom, left to right.
TEST_P(CounterKeys, TabRunsThroughTheControlsInTheirVisualOrder)
{
    struct Screen {
        char item;
        const char *name;
        QStringList order;
    };
    const Screen screens[] = {
        {'M', "frmReservation",
         {"txtDD", "cmbMonth", "cmbYear", "txthh", "txtmin", "Option1", "cmbClass", "cmbSeats", "txtFrom", "txtTo",
          "txtRoute", "cmdNext", "cmdCancel"}},
        {'E', "frmEnquiry",
         {"txtDD", "cmbMonth", "cmbYear", "txthh", "txtmin", "cmbClass", "cmbSeats", "txtFrom", "txtTo", "cmdNext",
          "cmdCancel"}},
        {'N', "frmCancel", {"txtcid", "cmbseats", "cmdCancel", "Command2"}},
    };
    for (const Screen &s : screens) {
        SCOPED_TRACE(s.name);
        menuKeys('R', s.item);
        ASSERT_NE(findScreen(QString::fromLatin1(s.name)), nullptr);
        QStringList seen{focusName()};
        for (int i = 0; i < s.order.size(); ++i) {
            tab();
            seen << focusName();
        }
        EXPECT_EQ(seen, s.order + QStringList{s.order.front()});
        escape();
        EXPECT_EQ(findScreen(QString::fromLatin1(s.name)), nullptr);
    }
}

// Enter in User moves to Login, and a second Enter there logs in; Escape is Cancel; Enter in
// Server logs in even while Login is still disabled.
TEST_P(CounterKeys, LoginKeys)
{
    app::Login *l = restart();
    ASSERT_NE(l, nullptr);
    expectDesignedSize(qobject_cast<QMdiSubWindow *>(l->parentWidget()), 5580, 4275);
    l->Server->setText(db().server());
    l->User->setFocus();
    settle();
    ASSERT_EQ(focusName(), "User");
    enter();
    EXPECT_EQ(focusName(), "Command1");
    EXPECT_FALSE(IsConnected);
    enter();
    EXPECT_TRUE(IsConnected);
    EXPECT_EQ(login(), nullptr);

    ASSERT_NE(restart(), nullptr);
    escape();
    EXPECT_EQ(login(), nullptr);
    EXPECT_FALSE(IsConnected);
    menuKeys('C', 'S');  // Connect to Server
    l = login();
    ASSERT_NE(l, nullptr);
    l->Server->setFocus();
    settle();
    typeText(db().server());
    ASSERT_FALSE(l->Command1->isEnabled());
    enter();
    EXPECT_TRUE(IsConnected);
}

// The focused button carries a frame in the highlight colour that others lack.
TEST_P(CounterKeys, FocusedButtonIsMarked)
{
    ASSERT_TRUE(ui::drawsFocusMark(QApplication::style()));
    QPushButton button(QStringLiteral("Next >>"));
    button.resize(100, 30);
    const auto render = [&](bool focused) {
        QStyleOptionButton opt;
        opt.initFrom(&button);
        opt.text = button.text();
        opt.state |= QStyle::State_Enabled;
        if (focused)
            opt.state |= QStyle::State_HasFocus;
        else
            opt.state &= ~QStyle::State_HasFocus;
        QImage img(button.size(), QImage::Format_ARGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        QApplication::style()->drawControl(QStyle::CE_PushButton, &opt, &p, &button);
        return img;
    };
    const QColor mark = button.palette().color(QPalette::Active, QPalette::Highlight);
    const auto markedPixels = [&](const QImage &img) {
        int n = 0;
        for (int x = 0; x < img.width(); ++x)
            for (int y : {1, 2, img.height() - 3, img.height() - 2})
                n += QColor(img.pixel(x, y)) == mark ? 1 : 0;
        return n;
    };
    EXPECT_GT(markedPixels(render(true)), 100);
    EXPECT_LT(markedPixels(render(false)), 10);
}

}  // namespace
