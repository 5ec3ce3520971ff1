// nbk-admin: create and seed databases, run statements through the client's own data
// layer, manage accounts.
#include "AdminCommands.h"

#include <QCoreApplication>
#include <QStringList>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("nbk-admin"));
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    return nbk::admin::run(args);
}
