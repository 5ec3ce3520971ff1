#include "app/Application.h"
#include "app/DatabaseFile.h"
#include "app/StartApplication.h"
#include "ui/MsgBox.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <cstdio>

int main(int argc, char **argv)
{
    nbk::app::Application app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("nbk-reservation"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("N.B.K Reservation System: the booking counter client."));
    parser.addHelpOption();
    const QCommandLineOption database(
        QStringList{QStringLiteral("database")},
        QStringLiteral("Use the embedded database file PATH (it must exist). Without this option the client "
                       "uses nbk.db in its data folder and creates it with the demonstration network on "
                       "first start."),
        QStringLiteral("PATH"));
    parser.addOption(database);
    parser.process(app);
    if (!parser.positionalArguments().isEmpty()) {
        std::fprintf(stderr, "nbk-reservation: unexpected argument %s\n",
                     qPrintable(parser.positionalArguments().first()));
        return 2;
    }

    const bool named = parser.isSet(database);
    const QString path = named ? parser.value(database) : nbk::app::defaultDatabasePath();
    QString error;
    if (!nbk::app::prepareDatabase(path, !named, &error))
        std::fprintf(stderr, "nbk-reservation: cannot create %s: %s\n", qPrintable(path), qPrintable(error));

    nbk::ui::installModalPrompt();
    StartApplication();
    const int rc = app.exec();
    EndApplication();
    return rc;
}
