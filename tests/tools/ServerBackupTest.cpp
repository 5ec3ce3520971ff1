// nbk-admin backup and restore of a server database: onto another cluster with its logins
// working, and every refusal leaving both sides as they were.
#include "data/session/Audit.h"
#include "data/engines/PostgresEngine.h"
#include "data/schema/PostgresSchema.h"
#include "data/schema/ServerAdmin.h"
#include "data/session/Transaction.h"
#include "support/AdminRunner.h"
#include "support/FileChecks.h"
#include "support/OwnCluster.h"
#include "support/TestDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

using namespace nbk;
using namespace nbk::test;

namespace {

// Statements on a server as its administrator; the first column of the last one's rows.
QStringList onServer(const QString &uri, const QStringList &statements)
{
    static int n = 0;
    const QString name = QStringLiteral("backup_test_%1").arg(++n);
    QStringList rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        data::DbError err;
        EXPECT_TRUE(data::openPostgres(db, data::PostgresUri::parse(uri), QString(), QString(), 10, false, err))
            << err.description.toStdString();
        for (const QString &sql : statements) {
            QSqlQuery q(db);
            EXPECT_TRUE(q.exec(sql)) << sql.toStdString() << ": " << q.lastError().text().toStdString();
            rows.clear();
            while (q.next())
                rows << q.value(0).toString();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return rows;
}

bool databaseExists(const QString &adminUri, const QString &name)
{
    return !onServer(adminUri, {QStringLiteral("SELECT 1 FROM pg_database WHERE datname = %1")
                                    .arg(data::schema::quoteLiteral(name))})
                .isEmpty();
}

// What a counter types: the server and database, no user.
QString counterServer(const QString &adminUri, const QString &database)
{
    data::PostgresUri u = data::PostgresUri::parse(adminUri);
    u.user.clear();
    u.password.clear();
    u.database = database;
    return u.toString();
}

class ServerBackup : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (TestDatabase::adminUri().isEmpty()) {
            if (qEnvironmentVariable("CI") == QLatin1String("true"))
                FAIL() << "CI runs the server tests, but NBK_TEST_PG_URI is not set";
            GTEST_SKIP() << "no PostgreSQL server (set NBK_TEST_PG_URI, or run scripts/run-tests.sh)";
        }
        source = std::make_unique<TestDatabase>(EngineKind::Postgres);
        source->exec({"INSERT INTO PLACE VALUES('A', 'Aa')", "INSERT INTO PLACE VALUES('B', 'Bb')",
                      "INSERT INTO ROUTE_ELEMENT VALUES(1, 'A', 'B', 40)",
                      "INSERT INTO ROUTE VALUES( 7, 'A' , 'B', 2, 40, 1, 5, 80, NULL)", "INSERT INTO PATH_ORDER VALUES(7, 1, 1)",
                      "INSERT INTO BUS_INFO VALUES('R1', 2, 40)",
                      "INSERT INTO bus_instance values( 70, 7, TO_DATE('05-03-2003 23:50:00','DD-MM-YYYY HH24:MI:SS') , "
                      "'tt' , 0 , 'R1' , 2 , 40 )"});
        data::ResultSet f = source->query("SELECT f.multiplier, ct.multiplier, ct.base FROM fuel_index f, class_type ct "
                                          "WHERE f.fpi = 1 AND ct.class = 2");
        fare = data::seatFare(40, f.value(0).toDouble(), f.value(1).toDouble(), f.value(2).toDouble());
        auto clerk = source->login(QStringLiteral("clerk1"));
        book(*clerk, 1, 1);
        sourceUri = data::PostgresUri::parse(TestDatabase::adminUri()).withDatabase(source->databaseName());
    }

    // A clerk's one-seat booking, under the rules that bind every counter.
    void book(data::Class1 &s, int customer, int seat)
    {
        data::Transaction tx(s, QStringLiteral("the test's booking"));
        for (const QString &q :
             {QStringLiteral("Insert INTO Customer values ( %1,-1,SYSDATE,'**TEMP**',-1,-1,'x','Unkn','Unkn',0)").arg(customer),
              QStringLiteral(" INSERT INTO seat_matrix VALUES( 70 , %1 ,1 , 1 , %2, 'r' )").arg(seat).arg(customer),
              QStringLiteral("UPDATE BUS_INSTANCE set free_seats=free_seats-1 Where instance_id=70"),
              QStringLiteral("UPDATE Customer set Instance_ID =70, Name = 'Ravi' , age=30, phone='1', gender='M' , "
                             "origin='A' , destin='B', fare=%1, Journey_date=(SELECT dep_date FROM bus_instance WHERE "
                           "instance_id = 70) where customer_ID = %2")
                  .arg(fare)
                  .arg(customer)})
            ASSERT_EQ(s.exec(q), -13) << q.toStdString() << ": " << s.LastExecError().toStdString();
        tx.commit();
    }

    QTemporaryDir dir;
    std::unique_ptr<TestDatabase> source;
    QString sourceUri;
    int fare = 0;
};

TEST_F(ServerBackup, RestoredOnAnotherClusterTheClerksLogInAndBook)
{
    const QString file = dir.filePath("nbk.backup");
    const AdminRun made = admin({"backup", sourceUri, file});
    ASSERT_EQ(made.code, 0) << made.err.toStdString();
    EXPECT_EQ(made.err, "") << "a superuser's backup keeps every password";
    EXPECT_EQ(modeOf(file), 0600);

    OwnCluster other;
    ASSERT_TRUE(other.start()) << other.error.toStdString();
    const QString target = data::PostgresUri::parse(other.uri()).withDatabase("restored");

    // a role of the same name that is no login of the database: refused before anything is made
    onServer(other.uri(), {"CREATE ROLE clerk1 LOGIN"});
    const AdminRun clash = admin({"restore", file, target});
    EXPECT_EQ(clash.code, 1);
    EXPECT_TRUE(clash.err.contains("clerk1")) << clash.err.toStdString();
    EXPECT_FALSE(databaseExists(other.uri(), "restored"));
    EXPECT_EQ(onServer(other.uri(), {"SELECT count(*) FROM pg_roles WHERE rolname IN ('chief', 'clerk2') "
                                     "OR rolname LIKE '%\\_clerk' OR rolname LIKE '%\\_supervisor'"}),
              QStringList{"0"});
    onServer(other.uri(), {"DROP ROLE clerk1"});

    const AdminRun restored = admin({"restore", file, target});
    ASSERT_EQ(restored.code, 0) << restored.err.toStdString();
    EXPECT_EQ(admin({"restore", file, target}).code, 1) << "a database with tables is never restored over";

    // the clerk's own password, the clerk's limits in this database, the rules at commit
    data::Class1 clerk;
    ASSERT_EQ(clerk.ConnectToDataBase("clerk1", "nb", counterServer(other.uri(), "restored")), 2);
    EXPECT_EQ(clerk.GetCurrentConnection().query("SELECT current_setting('statement_timeout') FROM dual").value(0).toString(),
              "15s");
    book(clerk, 2, 2);
    EXPECT_NE(clerk.exec("UPDATE customer SET fare = 1 WHERE customer_id = 2"), -13) << "the fare rule holds";
    EXPECT_TRUE(data::auditDatabase(clerk.GetCurrentConnection()).clean());
    EXPECT_EQ(onServer(target, {"SELECT string_agg(customer_id::text, ',' ORDER BY customer_id) FROM customer"}),
              QStringList{"1,2"});
    // only the database's groups connect
    EXPECT_EQ(onServer(target, {"SELECT has_database_privilege('public', 'restored', 'CONNECT')::text"}),
              QStringList{"false"});
    data::Class1 chief;
    EXPECT_EQ(chief.ConnectToDataBase("chief", "nb", counterServer(other.uri(), "restored")), 2);
}

// The owner who is no superuser cannot read passwords: the backup says which logins need
// one, and after the restore passwd gives it.
TEST_F(ServerBackup, AnOwnersBackupNamesTheLoginsThatNeedAPassword)
{
    const QString admin0 = TestDatabase::adminUri();
    const QString tag = QStringLiteral("bk%1").arg(QCoreApplication::applicationPid());
    const QString owner = tag + "_owner", db = tag + "_db", login = tag + "_clerk";
    onServer(admin0, {QStringLiteral("CREATE ROLE %1 LOGIN CREATEROLE PASSWORD 'own-pw'").arg(owner),
                      QStringLiteral("CREATE DATABASE %1 OWNER %2").arg(db, owner)});
    struct Cleanup {
        QString admin, db, owner, login;
        ~Cleanup()
        {
            const auto g = data::schema::serverGroupsFor(db);
            onServer(admin, {QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(db),
                             QStringLiteral("DROP ROLE IF EXISTS %1, %2, %3, %4").arg(login, g.supervisor, g.clerk, owner)});
        }
    } cleanup{admin0, db, owner, login};
    data::PostgresUri ownerUri = data::PostgresUri::parse(admin0);
    ownerUri.user = owner;
    ownerUri.password = "own-pw";
    ownerUri.database = db;
    ASSERT_EQ(admin({"init", ownerUri.toString()}).code, 0);
    ASSERT_EQ(admin({"useradd", "--database", ownerUri.toString(), login}, "first\n").code, 0);

    const QString file = dir.filePath("owner.backup");
    const AdminRun made = admin({"backup", ownerUri.toString(), file});
    ASSERT_EQ(made.code, 0) << made.err.toStdString();
    EXPECT_TRUE(made.err.contains(login) && made.err.contains("passwd")) << made.err.toStdString();

    OwnCluster other;
    ASSERT_TRUE(other.start()) << other.error.toStdString();
    const QString target = data::PostgresUri::parse(other.uri()).withDatabase(db);
    const AdminRun restored = admin({"restore", file, target});
    ASSERT_EQ(restored.code, 0) << restored.err.toStdString();
    EXPECT_TRUE(restored.err.contains(login)) << restored.err.toStdString();
    data::Class1 before;
    EXPECT_NE(before.ConnectToDataBase(login, "first", counterServer(other.uri(), db)), 2);
    ASSERT_EQ(admin({"passwd", "--database", target, login}, "second\n").code, 0);
    data::Class1 after;
    EXPECT_EQ(after.ConnectToDataBase(login, "second", counterServer(other.uri(), db)), 2);
}

TEST_F(ServerBackup, BadInputIsRefusedWithNothingChanged)
{
    const QString good = dir.filePath("good.backup");
    ASSERT_EQ(admin({"backup", sourceUri, good}).code, 0);
    QFile f(good);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    auto write = [&](const char *name, const QByteArray &content) {
        QFile out(dir.filePath(name));
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(content);
        return out.fileName();
    };
    QByteArray flipped = bytes;
    flipped[bytes.size() / 2] = char(flipped[bytes.size() / 2] ^ 0x01);
    const QString truncated = write("truncated.backup", bytes.left(bytes.size() - 100));
    const QString corrupt = write("corrupt.backup", flipped);
    const QString foreign = write("foreign.backup", "PGDMP not ours\n");
    data::PostgresUri wrong = data::PostgresUri::parse(sourceUri);
    wrong.password += "-wrong";
    const QString fresh = data::PostgresUri::parse(TestDatabase::adminUri()).withDatabase(source->databaseName() + "_r");

    struct Case {
        QStringList args;
        const char *says;
    };
    const std::vector<Case> cases = {
        {{"backup", wrong.toString(), dir.filePath("a.backup")}, "password"},
        {{"backup", data::PostgresUri::parse(sourceUri).withDatabase("postgres"), dir.filePath("b.backup")},
         "not a reservation database"},
        {{"backup", sourceUri, good}, "exists already"},
        {{"restore", truncated, fresh}, "damaged"},
        {{"restore", corrupt, fresh}, "damaged"},
        {{"restore", foreign, fresh}, "not a backup"},
        {{"restore", good, sourceUri}, "holds tables"},
    };
    for (const Case &c : cases) {
        const AdminRun r = admin(c.args);
        const std::string what = c.args.join(' ').toStdString();
        EXPECT_EQ(r.code, 1) << what;
        EXPECT_EQ(r.err.count('\n'), 1) << what << ": " << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QLatin1String(c.says))) << what << ": " << r.err.toStdString();
        EXPECT_FALSE(r.err.contains(data::PostgresUri::parse(sourceUri).password)) << "no password in a message";
    }
    EXPECT_FALSE(databaseExists(TestDatabase::adminUri(), source->databaseName() + "_r"));
    const AdminRun full = adminOnFullDisk({"backup", sourceUri, dir.filePath("full.backup")}, 8 * 1024);
    EXPECT_EQ(full.code, 1);
    EXPECT_TRUE(full.err.contains("the disk is full")) << full.err.toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList({"corrupt.backup", "foreign.backup", "good.backup", "truncated.backup"}));
    EXPECT_EQ(source->scalar("SELECT count(*) FROM customer").toInt(), 1);
}

}  // namespace
