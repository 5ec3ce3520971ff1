#include "support/MessageScript.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

// The data layer's tests: no widget library is linked, which proves that layer needs none.
int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("nbk-reservation"));
    nbk::test::MessageScript::install();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
