#include "app/Application.h"
#include "app/DatabaseFile.h"
#include "app/StartApplication.h"
#include "reports/screens/ReportViews.h"
#include "ui/Language.h"
#include "ui/MsgBox.h"
#include "version/Version.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QLocale>
#include <cstdio>

namespace {

struct ClientOptions {
    QCommandLineParser parser;
    QCommandLineOption help = parser.addHelpOption();
    QCommandLineOption version = parser.addVersionOption();
    QCommandLineOption database{
        QStringList{QStringLiteral("database")},
        QStringLiteral("Use the embedded database file PATH (it must exist). Without this option the client "
                       "uses nbk.db in its data folder and creates it with the demonstration network on "
                       "first start."),
        QStringLiteral("PATH")};
    QCommandLineOption language{
        QStringList{QStringLiteral("lang")},
        QStringLiteral("Show the screens in LANGUAGE: kn (Kannada) or en (English). Without this option, "
                       "NBK_LANG, then the system's locale: Kannada when it is Kannada, English otherwise."),
        QStringLiteral("LANGUAGE")};
    QCommandLineOption paper{
        QStringList{QStringLiteral("paper")},
        QStringLiteral("Lay tickets and refund slips out for PAPER: roll (an 80 mm ticket roll) or a4. "
                       "Without this option, NBK_PAPER, then roll."),
        QStringLiteral("PAPER")};
    ClientOptions()
    {
        parser.setApplicationDescription(
            QStringLiteral("N.B.K Reservation System: the booking counter client.\n"
                           "Without --database: ~/.local/share/nbk-reservation/nbk.db."));
        parser.addOption(database);
        parser.addOption(language);
        parser.addOption(paper);
    }
};

// --help and --version answer from a shell without a display (a console, ssh): the window
// system is then not needed, so the offscreen platform spares the client its failure to
// connect to one.
bool asksOnlyForText(int argc, char **argv)
{
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    ClientOptions o;
    return o.parser.parse(args) && (o.parser.isSet(o.help) || o.parser.isSet(o.version));
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication::setApplicationName(QStringLiteral("nbk-reservation"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(nbk::version::kText));
    if (asksOnlyForText(argc, argv))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    nbk::app::Application app(argc, argv);
    // the desktop entry's id: desktops match the window to its entry and icon
    QGuiApplication::setDesktopFileName(QStringLiteral("in.nbk.Reservation"));

    ClientOptions options;
    options.parser.process(app);
    if (!options.parser.positionalArguments().isEmpty()) {
        std::fprintf(stderr, "nbk-reservation: unexpected argument %s\n",
                     qPrintable(options.parser.positionalArguments().first()));
        return 2;
    }

    const QString language =
        nbk::ui::chosenLanguage(options.parser.value(options.language), qEnvironmentVariable("NBK_LANG"), QLocale::system().name());
    if (!nbk::ui::useLanguage(language))
        std::fprintf(stderr, "nbk-reservation: no translation for language %s; the screens stay English\n",
                     qPrintable(language));

    const QString paperName = options.parser.isSet(options.paper) ? options.parser.value(options.paper)
                                                                  : qEnvironmentVariable("NBK_PAPER");
    if (const auto paper = nbk::reports::paperNamed(paperName))
        nbk::reports::setCounterPaper(*paper);
    else if (!paperName.isEmpty())
        std::fprintf(stderr, "nbk-reservation: unknown paper %s; tickets are laid out for the roll\n",
                     qPrintable(paperName));

    const bool named = options.parser.isSet(options.database);
    const QString path = named ? options.parser.value(options.database) : nbk::app::defaultDatabasePath();
    QString error;
    if (!nbk::app::prepareDatabase(path, !named, &error))
        std::fprintf(stderr, "nbk-reservation: cannot create %s: %s\n", qPrintable(path), qPrintable(error));

    nbk::ui::installModalPrompt();
    StartApplication();
    const int rc = app.exec();
    EndApplication();
    return rc;
}
