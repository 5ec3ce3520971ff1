#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    // widget tests run without a display
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("nbk-reservation"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
