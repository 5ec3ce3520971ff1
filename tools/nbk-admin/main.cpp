// nbk-admin: create and seed databases, run statements through the client's own data
// layer, manage accounts.
#include "AdminCommands.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QStringList>
#include <cstring>
#include <memory>

int main(int argc, char **argv)
{
    // reports lay out text in fonts and write PDFs: that needs a GUI application, which
    // runs without a display on the offscreen platform
    std::unique_ptr<QCoreApplication> instance;
    if (argc > 1 && std::strcmp(argv[1], "report") == 0) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        instance = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        instance = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("nbk-admin"));
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    return nbk::admin::run(args);
}
