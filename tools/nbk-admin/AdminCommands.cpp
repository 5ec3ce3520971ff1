#include "AdminCommands.h"
#include "AuditCommand.h"
#include "WatchdogCommand.h"
#include "EraseCommand.h"
#include "UpgradeCommand.h"
#include "BackupCommands.h"
#include "ReportCommand.h"
#include "ServerCommands.h"
#include "ChargesCommand.h"
#include "CategoriesCommand.h"
#include "PlacesCommand.h"
#include "SeatsCommand.h"
#include "SettingsCommand.h"
#include "CounterLogin.h"

#include "data/session/Class1.h"
#include "data/session/Transaction.h"
#include "data/session/Connection.h"
#include "ui/prompt/Prompt.h"
#include "data/dialect/DbError.h"
#include "data/engines/Engine.h"
#include "data/dialect/Numbers.h"
#include "data/engines/PasswordHash.h"
#include "data/schema/Schema.h"
#include "version/Version.h"

#include <QDateTime>
#include <QTextStream>
#include <cstdio>
#include <iostream>
#include <string>

namespace nbk::admin {

namespace {

QTextStream &out()
{
    static QTextStream s(stdout);
    return s;
}
QTextStream &err()
{
    static QTextStream s(stderr);
    return s;
}

const char *const kUsage =
    "usage:\n"
    "  nbk-admin init [--demo] [--kdf-iterations N] DATABASE   (without --demo: the supervisor's\n"
    "      password on standard input; clerks come from useradd)\n"
    "  nbk-admin sql --database DATABASE --user USER --password PASSWORD STATEMENT...\n"
    "  nbk-admin passwd --database DATABASE [--kdf-iterations N] USER   (new password on standard input)\n"
    "  nbk-admin useradd --database DATABASE [--supervisor] [--kdf-iterations N] USER   (password on\n"
    "      standard input)\n"
    "  nbk-admin pooler-lookup --database SUPERUSER_URI AUTH_USER   (pgbouncer's lookup of the\n"
    "      database's accounts, called as AUTH_USER)\n";
const char *const kUsageEnd =
    "  nbk-admin --help | --version\n"
    "DATABASE is an embedded database file or a postgresql:// URI. --kdf-iterations sets the\n"
    "PBKDF2 rounds of an embedded file's password digests (600000 unless given).\n";

void printUsage(QTextStream &to)
{
    to << kUsage << kUpgradeUsage << kEraseUsage << kReportUsage << kAuditUsage << kWatchdogUsage << kChargesUsage
       << kCategoriesUsage << kPlacesUsage << kSeatsUsage << kSettingsUsage << kBackupUsage
       << kUsageEnd;
    to.flush();
}

int usage()
{
    printUsage(err());
    return 2;
}

bool isServer(const QString &database) { return data::isPostgresUri(database); }

QString readPassword()
{
    std::string line;
    std::getline(std::cin, line);
    QString p = QString::fromStdString(line);
    while (p.endsWith(QLatin1Char('\r')) || p.endsWith(QLatin1Char('\n')))
        p.chop(1);
    return p;
}

// Reads "--name value" options; what is left are the positional arguments.
struct Options {
    QMap<QString, QString> values;
    QStringList flags;
    QStringList positional;
};

Options parse(const QStringList &args, const QStringList &withValue)
{
    Options o;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (withValue.contains(a) && i + 1 < args.size())
            o.values.insert(a, args[++i]);
        else if (a.startsWith(QLatin1String("--")) && o.positional.isEmpty())
            o.flags << a;
        else
            o.positional << a;
    }
    return o;
}

QString valueText(const QVariant &v)
{
    if (v.isNull() || !v.isValid())
        return QString();
    switch (v.typeId()) {
    case QMetaType::QDateTime:
        return v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    case QMetaType::QDate:
        return v.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case QMetaType::Double:
    case QMetaType::Float:
        return shortestDecimal(v.toDouble());
    default:
        return v.toString();
    }
}

QString oracleMessage(const data::DbError &e)
{
    if (data::oraNumberIn(e.description) == e.nativeError && e.description.startsWith(QLatin1String("ORA-")))
        return e.description;
    return data::oraText(e.nativeError, e.description);
}

int cmdInit(const QStringList &args)
{
    const Options o = parse(args, {QStringLiteral("--kdf-iterations")});
    if (o.positional.size() != 1)
        return usage();
    data::schema::InitOptions init;
    init.demo = o.flags.contains(QStringLiteral("--demo"));
    if (o.values.contains(QStringLiteral("--kdf-iterations")))
        init.kdfIterations = o.values.value(QStringLiteral("--kdf-iterations")).toInt();
    const QString database = o.positional.first();
    // a database for real counters gets no account with a known password: the supervisor's
    // comes from standard input and the clerks from useradd
    if (!init.demo && !isServer(database)) {
        init.supervisorPassword = readPassword();
        if (init.supervisorPassword.isEmpty()) {
            err() << "nbk-admin: give the supervisor's password on standard input (or --demo for the "
                     "demonstration accounts)\n";
            return 1;
        }
    }
    QString error;
    bool ok;
    if (isServer(database))
        ok = initServer(database, init, &error);
    else
        ok = data::schema::createEmbeddedDatabase(database, init, &error);
    if (!ok) {
        err() << "nbk-admin: " << error << "\n";
        return 1;
    }
    out() << "created " << (isServer(database) ? withoutPassword(database) : database) << (init.demo ? " with the demo network" : "") << "\n";
    return 0;
}

// The login's messages are left out: the failure is printed with its Oracle number.
class QuietPrompt : public Prompt {
public:
    int ask(const QString &, int style, const QString &) override { return defaultAnswer(style); }
};

int cmdSql(const QStringList &args)
{
    const Options o = parse(args, {QStringLiteral("--database"), QStringLiteral("--user"),
                                   QStringLiteral("--password")});
    const QString database = o.values.value(QStringLiteral("--database"));
    if (database.isEmpty() || o.positional.isEmpty())
        return usage();
    data::Class1 session;
    QuietPrompt quiet;
    ui::setPrompt(&quiet);
    // the failure is printed below as the server gave it
    data::Class1::setRefusalSink([](const QString &, const QString &) {});
    const bool in = counterLogin(session, database, o.values.value(QStringLiteral("--user")),
                                 o.values.value(QStringLiteral("--password")));
    ui::setPrompt(nullptr);
    if (!in) {
        const data::DbError &e = session.LastLoginError();
        err() << (e.nativeError ? oracleMessage(e) : QStringLiteral("nbk-admin: the login failed")) << "\n";
        return 1;
    }
    data::Connection &cn = session.GetCurrentConnection();
    // BEGIN, COMMIT and ROLLBACK go through the session's own transaction, as a screen's
    // work does: the database takes them from nobody else, and the commit meets its checks
    data::Transaction tx;
    for (const QString &statement : o.positional) {
        QString word = statement.trimmed().toUpper();
        if (word.endsWith(QLatin1Char(';')))
            word.chop(1);
        try {
            if (word == QLatin1String("BEGIN")) {
                tx = data::Transaction(session, QStringLiteral("nbk-admin sql"));
                if (!tx.isOpen()) {
                    err() << tx.refusal() << "\n";
                    return 1;
                }
                continue;
            }
            if (tx.isOpen() && word == QLatin1String("COMMIT")) {
                tx.commit();
                continue;
            }
            if (tx.isOpen() && word == QLatin1String("ROLLBACK")) {
                tx.rollback();
                continue;
            }
            data::ResultSet rs = cn.query(statement);
            if (rs.fieldCount() == 0)
                continue;
            QStringList names;
            for (int i = 0; i < rs.fieldCount(); ++i)
                names << rs.fieldName(i);
            out() << names.join(QLatin1Char('\t')) << "\n";
            for (; !rs.eof(); rs.moveNext()) {
                QStringList cells;
                for (int i = 0; i < rs.fieldCount(); ++i)
                    cells << valueText(rs.value(i));
                out() << cells.join(QLatin1Char('\t')) << "\n";
            }
        } catch (const data::DbException &e) {
            out().flush();
            err() << oracleMessage(e.error()) << "\n";
            return 1;
        }
    }
    return 0;
}

int cmdPasswd(const QStringList &args)
{
    const Options o = parse(args, {QStringLiteral("--database"), QStringLiteral("--kdf-iterations")});
    const QString database = o.values.value(QStringLiteral("--database"));
    if (database.isEmpty() || o.positional.size() != 1)
        return usage();
    const QString user = o.positional.first();
    const QString password = readPassword();
    if (password.isEmpty()) {
        err() << "nbk-admin: the new password is empty\n";
        return 1;
    }
    QString error;
    bool ok;
    if (isServer(database)) {
        ok = setServerPassword(database, user, password, &error);
    } else {
        const int iterations = o.values.value(QStringLiteral("--kdf-iterations"),
                                              QString::number(data::kDefaultKdfIterations))
                                   .toInt();
        ok = data::schema::setEmbeddedPassword(database, user, password, iterations, false, false, &error);
    }
    if (!ok) {
        err() << "nbk-admin: " << error << "\n";
        return 1;
    }
    out() << "password of " << user << " changed\n";
    return 0;
}

// nbk-admin useradd --database FILE [--supervisor] USER, password on standard input
int cmdUseraddEmbedded(const QStringList &args)
{
    const Options o = parse(args, {QStringLiteral("--database"), QStringLiteral("--kdf-iterations")});
    const QString database = o.values.value(QStringLiteral("--database"));
    if (database.isEmpty() || o.positional.size() != 1)
        return usage();
    const QString password = readPassword();
    if (password.isEmpty()) {
        err() << "nbk-admin: the password is empty\n";
        return 1;
    }
    const int iterations =
        o.values.value(QStringLiteral("--kdf-iterations"), QString::number(data::kDefaultKdfIterations)).toInt();
    const bool supervisor = o.flags.contains(QStringLiteral("--supervisor"));
    QString error;
    if (!data::schema::setEmbeddedPassword(database, o.positional.first(), password, iterations, true, supervisor,
                                           &error)) {
        err() << "nbk-admin: " << error << "\n";
        return 1;
    }
    out() << (supervisor ? "supervisor " : "clerk ") << o.positional.first() << " can log in\n";
    return 0;
}

}  // namespace

int run(const QStringList &args)
{
    if (args.isEmpty())
        return usage();
    // asked for: standard output and success, as every Debian program answers
    if (args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h")) {
        printUsage(out());
        return 0;
    }
    if (args.first() == QLatin1String("--version")) {
        out() << "nbk-admin " << version::kText << "\n";
        out().flush();
        return 0;
    }
    const QString command = args.first();
    const QStringList rest = args.mid(1);
    int rc;
    if (command == QLatin1String("init"))
        rc = cmdInit(rest);
    else if (command == QLatin1String("sql"))
        rc = cmdSql(rest);
    else if (command == QLatin1String("passwd"))
        rc = cmdPasswd(rest);
    else if (command == QLatin1String("report"))
        rc = runReport(rest);
    else if (command == QLatin1String("audit"))
        rc = runAudit(rest);
    else if (command == QLatin1String("watchdog"))
        rc = runWatchdog(rest);
    else if (command == QLatin1String("charges"))
        rc = runCharges(rest);
    else if (command == QLatin1String("categories"))
        rc = runCategories(rest);
    else if (command == QLatin1String("places"))
        rc = runPlaces(rest);
    else if (command == QLatin1String("seats"))
        rc = runSeats(rest);
    else if (command == QLatin1String("settings"))
        rc = runSettings(rest);
    else if (command == QLatin1String("upgrade"))
        rc = runUpgrade(rest);
    else if (command == QLatin1String("erase"))
        rc = runErase(rest);
    else if (command == QLatin1String("backup"))
        rc = runBackup(rest);
    else if (command == QLatin1String("restore"))
        rc = runRestore(rest);
    else if (command == QLatin1String("useradd") && !rest.contains(QStringLiteral("--database")))
        rc = usage();
    else if (command == QLatin1String("useradd")
             && !isServer(rest.value(rest.indexOf(QStringLiteral("--database")) + 1)))
        rc = cmdUseraddEmbedded(rest);
    else
        rc = runServerCommand(command, rest);
    out().flush();
    err().flush();
    return rc;
}

}  // namespace nbk::admin
