// nbk-load: clerks at many counters at once, each a process of its own driving the
// client's screens, then an audit of what they left in the database.
#include "Conductor.h"
#include "LoadOptions.h"
#include "version/Version.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    // the screens run without a display
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &msg) {
        if (type != QtDebugMsg && type != QtInfoMsg && !msg.startsWith(QStringLiteral("This plugin does not support")))
            std::fprintf(stderr, "%s\n", qPrintable(msg));
    });
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("nbk-load"));
    QStringList args = QApplication::arguments();
    args.removeFirst();
    nbk::load::LoadOptions o;
    QString error;
    if (!nbk::load::parseOptions(args, o, &error)) {
        std::fprintf(stderr, "nbk-load: %s\n%s", qPrintable(error), qPrintable(nbk::load::usage()));
        return 2;
    }
    if (o.help || o.version) {
        if (o.help)
            std::fputs(qPrintable(nbk::load::usage()), stdout);
        else
            std::printf("nbk-load %s\n", nbk::version::kText);
        return 0;
    }
    return o.session >= 0 ? nbk::load::runSession(o) : nbk::load::conduct(o);
}
