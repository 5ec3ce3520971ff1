#include "support/MessageScript.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    // widget tests run without a display
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("nbk-reservation"));
    // no test may block on a real box
    nbk::test::MessageScript::install();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
