// The booking screens in Kannada: with the translations loaded their captions and the
// messages' fixed texts are Kannada; without them, the English they are written in.
#include "ScreenFixture.h"

#include "app/MDIForm1.h"
#include "operations/screens/Screens.h"
#include "reservation/screens/frmCustomer.h"
#include "ui/ChildWindows.h"
#include "ui/Language.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QAction>
#include <QLabel>

using namespace nbk;
using namespace nbk::test;

namespace {

TEST(ScreenLanguage, TheOptionThenTheVariableThenAKannadaLocaleChoose)
{
    struct Case {
        const char *option, *variable, *system, *chosen;
    };
    const Case cases[] = {
        {"kn", "", "en_US", "kn"},   {"en", "kn", "kn_IN", "en"}, {"", "KN_in", "en_GB", "kn"},
        {"", "", "kn_IN", "kn"},     {"", "", "en_IN", "en"},     {"", "", "C", "en"},
        {" ", "", "kn", "kn"},       // a blank option is none
    };
    for (const Case &c : cases)
        EXPECT_EQ(ui::chosenLanguage(QString::fromLatin1(c.option), QString::fromLatin1(c.variable),
                                     QString::fromLatin1(c.system)),
                  QString::fromLatin1(c.chosen))
            << c.option << "|" << c.variable << "|" << c.system;
    EXPECT_FALSE(ui::useLanguage(QStringLiteral("xx")));  // no translations: English stays
    EXPECT_EQ(ui::shownText(QStringLiteral("Invalid Date")), QStringLiteral("Invalid Date"));
}

class ScreenLanguage : public ScreenTest {
protected:
    void TearDown() override
    {
        ui::useLanguage(QStringLiteral("en"));
        ScreenTest::TearDown();
    }
};

TEST_P(ScreenLanguage, BookingScreensSpeakTheLanguageChosen)
{
    struct Shown {
        const char *screen, *control;  // null control: the window's title
        const char *english;
        QString kannada;
    };
    const Shown shown[] = {
        {"frmReservation", nullptr, "Reservation", QStringLiteral("ಕಾಯ್ದಿರಿಸುವಿಕೆ")},
        {"frmReservation", "Frame1", "Journey Time Details", QStringLiteral("ಪ್ರಯಾಣದ ಸಮಯದ ವಿವರಗಳು")},
        {"frmReservation", "Label4", "Date of Journey", QStringLiteral("ಪ್ರಯಾಣದ ದಿನಾಂಕ")},
        {"frmReservation", "Label10", "From", QStringLiteral("ಎಲ್ಲಿಂದ")},
        {"frmReservation", "cmdNext", "Next >>", QStringLiteral("ಮುಂದೆ >>")},
        {"Instances", nullptr, "Select Instance for reservation.", QStringLiteral("ಕಾಯ್ದಿರಿಸಲು ಬಸ್ ಸಂಚಾರವನ್ನು ಆರಿಸಿ.")},
        {"Instances", "Cancel", "Cancel", QStringLiteral("ರದ್ದುಮಾಡಿ")},
        {"frmCustomer", nullptr, "Customer Details", QStringLiteral("ಗ್ರಾಹಕರ ವಿವರಗಳು")},
        {"frmCustomer", "Frame1", "Reservation", QStringLiteral("ಕಾಯ್ದಿರಿಸುವಿಕೆ")},
        {"frmCustomer", "Command1", "Ok", QStringLiteral("ಸರಿ")},
        {"frmCancel", nullptr, "Cancel Reservation", QStringLiteral("ಕಾಯ್ದಿರಿಸುವಿಕೆ ರದ್ದುಮಾಡಿ")},
        {"frmCancel", "cmdCancel", "Cancel Tickets", QStringLiteral("ಟಿಕೆಟ್‌ಗಳನ್ನು ರದ್ದುಮಾಡಿ")},
        {"frmEnquiry", nullptr, "Enquiry", QStringLiteral("ವಿಚಾರಣೆ")},
    };
    operations::registerScreens();
    const auto caption = [](QWidget *w) {
        if (auto *b = qobject_cast<QAbstractButton *>(w))
            return b->text();
        if (auto *g = qobject_cast<QGroupBox *>(w))
            return g->title();
        if (auto *l = qobject_cast<QLabel *>(w))
            return l->text();
        return QStringLiteral("?");
    };
    for (const bool kannada : {true, false}) {
        SCOPED_TRACE(kannada ? "kn" : "en");
        ASSERT_TRUE(ui::useLanguage(kannada ? QStringLiteral("kn") : QStringLiteral("en")));
        openScreen(QStringLiteral("frmReservation"));
        openScreen(QStringLiteral("Instances"));
        openScreen(QStringLiteral("frmCancel"));
        openScreen(QStringLiteral("frmEnquiry"));
        frmCustomer::openFor(nullptr);
        for (const Shown &s : shown) {
            QWidget *screen = findScreen(QString::fromLatin1(s.screen));
            ASSERT_NE(screen, nullptr) << s.screen;
            const QString text = s.control ? caption(child<QWidget>(screen, s.control)) : screen->windowTitle();
            EXPECT_EQ(text, kannada ? s.kannada : QString::fromUtf8(s.english)) << s.screen << " " << s.english;
        }
        // a message's fixed text and its title; one with values in it is shown as worded
        EXPECT_EQ(ui::shownText(QStringLiteral("Invalid Date")),
                  kannada ? QStringLiteral("ಅಮಾನ್ಯ ದಿನಾಂಕ") : QStringLiteral("Invalid Date"));
        EXPECT_EQ(ui::shownText(QStringLiteral("Error")), kannada ? QStringLiteral("ದೋಷ") : QStringLiteral("Error"));
        {
            // the main menu, built in the language chosen
            QMdiArea *area = ui::mdiArea();
            app::MDIForm1 shell;
            EXPECT_EQ(shell.menuItem(QStringLiteral("mnuReserveReserve"))->text(),
                      kannada ? QStringLiteral("ಕಾಯ್ದಿರಿಸಿ (&M)") : QStringLiteral("&Make Reservation"));
            ui::setMdiArea(area);
        }
        for (const char *name : {"frmCustomer", "Instances", "frmReservation", "frmCancel", "frmEnquiry"})
            closeScreen(QString::fromLatin1(name));
        deleteLeftoverScreens();
    }
}

NBK_ALL_ENGINES(ScreenLanguage);

// A message worded with values is translated by the pattern it was worded from, its values
// kept in the places the translation gives them; a message of several lines line by line.
TEST(ScreenLanguage, MessagesWithValuesKeepTheirValuesInTheTranslation)
{
    const QString rupee = QStringLiteral("\u20B9");
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("Reserve 9 seats on one ticket? "), QStringLiteral("ಒಂದೇ ಟಿಕೆಟ್‌ನಲ್ಲಿ 9 ಆಸನಗಳನ್ನು ಕಾಯ್ದಿರಿಸಬೇಕೆ? ")},
        // the values change places: the reservation's size comes first in Kannada
        {QStringLiteral("3 seats were picked for a reservation of 12."),
         QStringLiteral("12 ಆಸನಗಳ ಕಾಯ್ದಿರಿಸುವಿಕೆಗೆ 3 ಆಸನಗಳನ್ನು ಆರಿಸಲಾಗಿದೆ.")},
        {QStringLiteral("Update complete.\r\nCustomer no. 1042: the ticket and any cancellation ask for this number."),
         QStringLiteral("ನವೀಕರಣ ಪೂರ್ಣಗೊಂಡಿದೆ.\r\nಗ್ರಾಹಕ ಸಂಖ್ಯೆ 1042: ಟಿಕೆಟ್ ಮತ್ತು ಯಾವುದೇ ರದ್ದತಿಗೆ ಈ ಸಂಖ್ಯೆ ಬೇಕು.")},
        // a value that looks like a placeholder or a pattern stays the passenger's text
        {QStringLiteral("Are you sure to cancel customer no. 401\r\n\r\nPassenger: %2 Run 7\r\nRun 7, journey 11 Dec 2026 10:07\r\n"
                        "Seats to cancel: 3, 4 (2 of 5 seats)\r\nCancellation charge: ") + rupee + QStringLiteral(" 15 (25% at 49 hours before departure)"),
         QStringLiteral("ಗ್ರಾಹಕ ಸಂಖ್ಯೆ 401 ಅನ್ನು ರದ್ದುಮಾಡಬೇಕೆ?\r\n\r\nಪ್ರಯಾಣಿಕರು: %2 Run 7\r\nಸಂಚಾರ 7, ಪ್ರಯಾಣ 11 Dec 2026 10:07\r\n"
                        "ರದ್ದುಮಾಡುವ ಆಸನಗಳು: 3, 4 (5 ಆಸನಗಳಲ್ಲಿ 2)\r\nರದ್ದತಿ ಶುಲ್ಕ: ") + rupee + QStringLiteral(" 15 (ಹೊರಡುವ 49 ಗಂಟೆಗಳ ಮೊದಲು 25%)")},
        // a line no pattern words stays as it is; its neighbours are still translated
        {QStringLiteral("Invalid Date\nThe bus is late"), QStringLiteral("ಅಮಾನ್ಯ ದಿನಾಂಕ\nThe bus is late")},
        {QStringLiteral("Bus KA-01 has 40 seats; at most 3 can be reserved."),
         QStringLiteral("Bus KA-01 has 40 seats; at most 3 can be reserved.")},
    };
    for (const bool kannada : {true, false}) {
        ASSERT_TRUE(ui::useLanguage(kannada ? QStringLiteral("kn") : QStringLiteral("en")));
        for (const auto &[english, translated] : cases)
            EXPECT_EQ(ui::shownText(english), kannada ? translated : english) << english.toStdString();
    }
}

}  // namespace
