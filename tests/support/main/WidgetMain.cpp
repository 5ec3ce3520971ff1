#include "common/ReservationState.h"
#include "support/MessageScript.h"

#include <QApplication>
#include <QFont>
#include <gtest/gtest.h>

namespace {
// Every test starts from the values of a fresh start of the client.
struct FreshReservationState : ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo &) override { nbk::ResetReservationState(); }
};
}  // namespace

int main(int argc, char **argv)
{
    // widget tests run without a display
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("nbk-reservation"));
    // Widgets measure in one named font, not whatever the machine's default sans-serif is
    // (Noto Sans where the Kannada fonts are installed makes every line taller). DejaVu Sans
    // comes with the package's own dependencies; the platform's size stays.
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(QApplication::font().pointSizeF());
    QApplication::setFont(font);
    // no test may block on a real box
    nbk::test::MessageScript::install();
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshReservationState);
    return RUN_ALL_TESTS();
}
