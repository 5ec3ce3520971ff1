// The client behind a connection pooler of the test's own (pgbouncer in front of the test
// cluster), in transaction pooling, where one server connection serves many clients in
// turn, and in session pooling.
#include "data/session/Class1.h"
#include "data/engines/PostgresEngine.h"
#include "data/schema/PoolerLookup.h"
#include "support/AdminRunner.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace nbk;
using namespace nbk::test;

namespace {

// pgbouncer refuses to run as root: it runs as the cluster's owner then.
QStringList asOwner(const QString &command)
{
    if (geteuid() == 0)
        return {QStringLiteral("su"), QStringLiteral("postgres"), QStringLiteral("-s"), QStringLiteral("/bin/sh"),
                QStringLiteral("-c"), command};
    return {QStringLiteral("/bin/sh"), QStringLiteral("-c"), command};
}

int freePort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    ::bind(fd, reinterpret_cast<sockaddr *>(&a), len);
    ::getsockname(fd, reinterpret_cast<sockaddr *>(&a), &len);
    ::close(fd);
    return ntohs(a.sin_port);
}

class Pgbouncer {
public:
    // Fronts the test cluster with `pool` server connections per database and user; the
    // logins its file does not list are looked up as authUser.
    Pgbouncer(const QString &mode, int pool, const QString &authUser, const QString &authPassword)
    {
        const QString bin = QStandardPaths::findExecutable(QStringLiteral("pgbouncer"), {"/usr/sbin", "/usr/bin"});
        if (bin.isEmpty())
            return;
        const data::PostgresUri admin = data::PostgresUri::parse(TestDatabase::adminUri());
        port_ = freePort();
        const QString d = dir_.path();
        QFile users(d + "/users.txt");
        users.open(QIODevice::WriteOnly);
        users.write(QStringLiteral("\"%1\" \"%2\"\n\"%3\" \"%4\"\n")
                        .arg(admin.user, admin.password, authUser, authPassword)
                        .toUtf8());
        users.close();
        // the database's accounts (chief, clerk1, nbk-load's clerk, whose password changes
        // every run) are looked up on the server through the lookup function
        QFile ini(d + "/pgbouncer.ini");
        ini.open(QIODevice::WriteOnly);
        ini.write(QStringLiteral("[databases]\n* = host=%1 port=%2\n[pgbouncer]\nlisten_addr = 127.0.0.1\n"
                                 "listen_port = %3\nunix_socket_dir =\nauth_type = scram-sha-256\n"
                                 "auth_file = %4/users.txt\nauth_user = %7\nauth_query = %8\npool_mode = %5\n"
                                 "default_pool_size = %6\nmax_client_conn = 100\npidfile = %4/pgbouncer.pid\n"
                                 "logfile = %4/pgbouncer.log\n")
                      .arg(admin.host, admin.port)
                      .arg(port_)
                      .arg(d, mode)
                      .arg(pool)
                      .arg(authUser, QLatin1String(data::schema::kPoolerAuthQuery))
                      .toUtf8());
        ini.close();
        QFile::setPermissions(d, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
                                     | QFile::WriteOther | QFile::ExeOther);
        const QStringList cmd = asOwner(bin + " -d " + d + "/pgbouncer.ini");
        started_ = QProcess::execute(cmd.first(), cmd.mid(1)) == 0;
        for (int i = 0; started_ && i < 100 && !QFile::exists(d + "/pgbouncer.pid"); ++i)
            QThread::msleep(50);
    }
    ~Pgbouncer()
    {
        QFile pid(dir_.path() + "/pgbouncer.pid");
        if (pid.open(QIODevice::ReadOnly))
            ::kill(pid_t(pid.readAll().trimmed().toInt()), SIGTERM);
    }
    bool running() const { return started_ && QFile::exists(dir_.path() + "/pgbouncer.pid"); }
    QString log() const
    {
        QFile f(dir_.path() + "/pgbouncer.log");
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    // The same database through the pooler.
    QString server(const QString &direct) const
    {
        data::PostgresUri u = data::PostgresUri::parse(direct);
        u.port = QString::number(port_);
        return u.toString();
    }

private:
    QTemporaryDir dir_;
    int port_ = 0;
    bool started_ = false;
};

class Pooler : public DbTest {};

// Statements on the test's database as the given user; the rows of the last, "error: ..."
// when one fails.
QStringList sqlAs(const data::PostgresUri &uri, const QStringList &statements)
{
    const QString name = QStringLiteral("pooler_sql");
    QStringList out;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        data::DbError err;
        if (!data::openPostgres(db, uri, QString(), QString(), 10, false, err))
            out << QStringLiteral("error: ") + err.description;
        QSqlQuery q(db);
        for (const QString &sql : statements) {
            if (!out.isEmpty() || !q.exec(sql)) {
                if (out.isEmpty())
                    out << QStringLiteral("error: ") + q.lastError().databaseText();
                break;
            }
        }
        while (out.isEmpty() && q.next()) {
            QStringList row;
            for (int i = 0; i < q.record().count(); ++i)
                row << q.value(i).toString().left(14);
            out << row.join(QLatin1Char('|'));
        }
    }
    QSqlDatabase::removeDatabase(name);
    return out;
}

// pgbouncer's auth_user is no superuser: it reads the database's accounts through the
// lookup that nbk-admin makes, and nothing else.
TEST_P(Pooler, TheLookupGivesTheDatabasesAccountsToThePoolerAlone)
{
    if (db().kind() == EngineKind::Embedded)
        GTEST_SKIP() << "the embedded file has no server to pool";
    data::PostgresUri su = data::PostgresUri::parse(TestDatabase::adminUri());
    su.database = db().databaseName();
    const QString pooler = db().databaseName() + QStringLiteral("_pooler");
    ASSERT_EQ(sqlAs(su, {QStringLiteral("CREATE ROLE %1 LOGIN PASSWORD 'pool-pw'").arg(pooler)}), QStringList());
    // refused: a clerk as the pooler, a missing login, a URI that is not a superuser's
    data::PostgresUri chief = su;
    chief.user = QStringLiteral("chief");
    chief.password = QStringLiteral("nb");
    for (const auto &[uri, user] : {std::pair{su.toString(), QStringLiteral("clerk1")},
                                    std::pair{su.toString(), QStringLiteral("nobody_here")},
                                    std::pair{chief.toString(), pooler}}) {
        const AdminRun r = admin({QStringLiteral("pooler-lookup"), QStringLiteral("--database"), uri, user});
        EXPECT_EQ(r.code, 1) << user.toStdString() << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QLatin1String("nothing was changed")) || r.err.contains(QLatin1String("no login")))
            << r.err.toStdString();
    }
    EXPECT_EQ(sqlAs(su, {QStringLiteral("SELECT count(*) FROM pg_namespace WHERE nspname = 'nbk_pooler'")}),
              QStringList{QStringLiteral("0")});
    const AdminRun made = admin({QStringLiteral("pooler-lookup"), QStringLiteral("--database"), su.toString(), pooler});
    ASSERT_EQ(made.code, 0) << made.err.toStdString();
    EXPECT_TRUE(made.out.contains(QLatin1String(data::schema::kPoolerAuthQuery))) << made.out.toStdString();

    data::PostgresUri asPooler = su;
    asPooler.user = pooler;
    asPooler.password = QStringLiteral("pool-pw");
    const QString look = QStringLiteral("SELECT uname, phash FROM nbk_pooler.lookup('%1')");
    EXPECT_EQ(sqlAs(asPooler, {look.arg(QStringLiteral("clerk1"))}),
              QStringList{QStringLiteral("clerk1|SCRAM-SHA-256$")});
    // the superuser, the pooler itself and an unknown name give no row
    for (const QString &other : {su.user, pooler, QStringLiteral("nobody_here")})
        EXPECT_EQ(sqlAs(asPooler, {look.arg(other)}), QStringList()) << other.toStdString();
    // nobody else may call it
    const QStringList asClerk = sqlAs(chief, {look.arg(QStringLiteral("clerk1"))});
    EXPECT_TRUE(asClerk.value(0).contains(QLatin1String("permission denied"))) << asClerk.join(' ').toStdString();
}

TEST_P(Pooler, EveryAnswerIsTheStatementsOwnInBothPoolingModes)
{
    if (db().kind() == EngineKind::Embedded)
        GTEST_SKIP() << "the embedded file has no server to pool";
    const data::PostgresUri admin = data::PostgresUri::parse(TestDatabase::adminUri());
    const struct {
        const char *mode;
        int pool;
    } cases[] = {{"transaction", 1}, {"session", 8}};
    data::PostgresUri su = admin;
    su.database = db().databaseName();
    const QString pooler = db().databaseName() + QStringLiteral("_pooler");
    ASSERT_EQ(sqlAs(su, {QStringLiteral("CREATE ROLE %1 LOGIN PASSWORD 'pool-pw'").arg(pooler)}), QStringList());
    ASSERT_EQ(nbk::test::admin({QStringLiteral("pooler-lookup"), QStringLiteral("--database"), su.toString(), pooler}).code, 0);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.mode);
        // in transaction pooling one server connection serves every clerk in turn
        Pgbouncer bouncer(QString::fromLatin1(c.mode), c.pool, pooler, QStringLiteral("pool-pw"));
        if (!bouncer.running())
            GTEST_SKIP() << "pgbouncer did not start (scripts/deps.sh --dev installs it): " << bouncer.log().toStdString();
        const QString server = bouncer.server(db().server());
        {
            data::Class1 a, b;
            ASSERT_EQ(a.ConnectToDataBase("chief", "nb", server), 2) << bouncer.log().toStdString();
            ASSERT_EQ(b.ConnectToDataBase("clerk1", "nb", server), 2) << bouncer.log().toStdString();
            // two statements with parameters, each the first its session prepares
            for (int round = 0; round < 4; ++round) {
                EXPECT_EQ(a.GetCurrentConnection().query("SELECT ? + 1 AS a FROM DUAL", {round}).value(0).toInt(), round + 1);
                EXPECT_EQ(b.GetCurrentConnection().query("SELECT ? || 'x' AS b FROM DUAL", {round}).value(0).toString(),
                          QString::number(round) + "x");
                // the session's settings hold whichever server connection answers
                EXPECT_EQ(b.GetCurrentConnection().query("SELECT TO_DATE('3-5-2003 9:5:00','mm-dd-yyyy hh24:mi:ss') FROM DUAL")
                              .value(0)
                              .toDateTime(),
                          QDateTime(QDate(2003, 3, 5), QTime(9, 5)));
            }
        }
        // clerks at four counters on two server connections, audited at the end
        QProcess load;
        load.start(QStringLiteral(NBK_LOAD_PATH), {"--database", server, "--user", admin.user, "--sessions", "4",
                                                   "--seconds", "3", "--headless", "--seed", "5"});
        load.write(admin.password.toUtf8() + '\n');
        load.closeWriteChannel();
        ASSERT_TRUE(load.waitForFinished(180000));
        const QByteArray err = load.readAllStandardError();
        const QJsonObject f = QJsonDocument::fromJson(load.readAllStandardOutput().trimmed().split('\n').last()).object();
        EXPECT_EQ(load.exitCode(), 0) << err.toStdString();
        EXPECT_GT(f.value("bookings").toInt(), 0) << err.toStdString();
        for (const char *k : {"errors", "overlaps", "counter_mismatches", "temp_rows", "fare_mismatches"})
            EXPECT_EQ(f.value(k).toInt(), 0) << k << "\n" << err.toStdString();
    }
}

NBK_ALL_ENGINES(Pooler);

}  // namespace
