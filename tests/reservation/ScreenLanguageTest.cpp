// The booking screens in Kannada: with the translations loaded their captions and the
// messages' fixed texts are Kannada; without them, the English they are written in.
#include "ScreenFixture.h"

#include "reservation/screens/frmCustomer.h"
#include "ui/Language.h"

#include <QAbstractButton>
#include <QGroupBox>
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
    };
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
        EXPECT_EQ(ui::shownText(QStringLiteral("Reserve 9 seats on one ticket? ")),
                  QStringLiteral("Reserve 9 seats on one ticket? "));
        for (const char *name : {"frmCustomer", "Instances", "frmReservation"})
            closeScreen(QString::fromLatin1(name));
        deleteLeftoverScreens();
    }
}

NBK_ALL_ENGINES(ScreenLanguage);

}  // namespace
