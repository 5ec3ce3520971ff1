// Databases made by earlier releases (tests/fixtures/schema), upgraded in place by
// nbk-admin upgrade on both engines: every row and value kept, every account logging in
// with its password, the rules and the audit trail whole, past days' statements unchanged.
#include "data/engines/Engine.h"
#include "data/engines/PostgresEngine.h"
#include "data/engines/SqliteEngine.h"
#include "data/schema/SchemaVersion.h"
#include "data/session/Class1.h"
#include "data/session/Transaction.h"
#include "reports/DayStatementQueries.h"
#include "support/AdminRunner.h"
#include "support/MessageScript.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>

using namespace nbk;
using namespace nbk::test;

namespace {

const QString kFixtures = QStringLiteral(NBK_FIXTURES_DIR);

struct Account {
    QString user, password;
};
struct Day {
    const char *date;
    const char *who;  // "A" or "B"
    double taken, refunded;
};
// The day statements the fixtures' own release gave (clerk A and B of each day).
const Day kDays[] = {
    {"2026-11-20", "A", 1910, 382}, {"2026-11-20", "B", 1720, 0},
    {"2026-11-21", "A", 144, 764},  {"2026-11-21", "B", 266, 764},
};

QString normal(const QVariant &v)
{
    if (v.isNull())
        return QStringLiteral("<null>");
    const QString text = v.toString();
    bool number = false;
    const double d = text.toDouble(&number);
    // digits kept as text with their leading zero or plus are no number
    if (number && !text.startsWith(QLatin1Char('0')) && !text.startsWith(QLatin1Char('+')))
        return QString::number(d, 'f', 2);
    return text;
}

// Every row of every table as text, the rows sorted: what the upgrade must keep. A
// number stored as a number and as text compare alike, as a phone's digits must.
using Snapshot = QMap<QString, QStringList>;

// An upgrade adds its own version rows; every other row, and every version row that was
// there before, stays as it was.
void expectKept(Snapshot after, Snapshot before)
{
    const QString versions = QStringLiteral("nbk_schema_version");
    const QStringList had = before.take(versions), has = after.take(versions);
    // rows sort as text, so version 10's comes before version 2's
    for (const QString &row : had)
        EXPECT_TRUE(has.contains(row)) << row.toStdString();
    EXPECT_EQ(after, before);
}
// The trail's times are compared as the wall clock of the corporation's zone (Asia/Kolkata
// unless set otherwise), which the trail showed them as before it kept instants:
// trailTime reads nbk_audit.changed_at so.
Snapshot snapshot(const QSqlDatabase &db, const QStringList &tables, const QMap<QString, QStringList> &columns,
                  const QString &trailTime)
{
    Snapshot s;
    for (const QString &t : tables) {
        QSqlQuery q(db);
        QStringList read = columns.value(t);
        if (t == QLatin1String("nbk_audit"))
            read.replaceInStrings(QRegularExpression(QStringLiteral("^changed_at$")), trailTime);
        EXPECT_TRUE(q.exec(QStringLiteral("SELECT %1 FROM %2").arg(read.join(QStringLiteral(", ")), t))) << t.toStdString();
        QStringList rows;
        while (q.next()) {
            QStringList values;
            for (int i = 0; i < q.record().count(); ++i)
                values << normal(q.value(i));
            rows << values.join(QLatin1Char('|'));
        }
        rows.sort();
        s.insert(t, rows);
    }
    return s;
}

class FixtureUpgrade : public ::testing::TestWithParam<QString> {
protected:
    // Logs in as every account, and as clerk A checks the rules and the trail: a counter
    // set wrong is refused at commit; a whole cancellation commits and leaves audit rows.
    void checkWorking(const QString &server, const QList<Account> &accounts, const QString &clerkA, bool audited)
    {
        for (const Account &a : accounts) {
            MessageScript::begin();
            data::Class1 s;
            EXPECT_EQ(s.ConnectToDataBase(a.user, a.password, server), 2)
                << a.user.toStdString() << ": " << MessageScript::texts().join(QLatin1Char('\n')).toStdString();
            MessageScript::end();
        }
        data::Class1 clerk;
        ASSERT_EQ(clerk.ConnectToDataBase(clerkA, accounts.value(1).password, server), 2);
        EXPECT_NE(clerk.exec(QStringLiteral("UPDATE BUS_INSTANCE set free_seats=999 Where instance_id=10001")), data::kExecOk);
        // the upgrade brought the bookings' rules too: a booking made before is fixed
        EXPECT_EQ(clerk.exec(QStringLiteral("UPDATE customer SET name = 'Someone Else' WHERE customer_id = 1004")), 20006);
        {
            data::Transaction tx(clerk, QStringLiteral("the cancellation of customer 1005"));
            for (const char *sql : {"DELETE FROM SEAT_MATRIX  WHERE customer_id =  1005",
                                    " UPDATE Bus_instance SET free_seats = free_seats + 2 WHERE instance_id = 10002",
                                    "DELETE FROM CUSTOMER WHERE customer_id = 1005"})
                ASSERT_EQ(clerk.exec(QString::fromLatin1(sql)), data::kExecOk) << sql << clerk.LastExecError().toStdString();
            tx.commit();
        }
        data::ResultSet rows = clerk.GetCurrentConnection().query(
            QStringLiteral("SELECT COUNT(*) FROM nbk_audit WHERE customer_id = 1005 AND action IN ('DELETE', 'delete')"));
        EXPECT_EQ(rows.value(0).toInt(), 3) << "two seats and the customer, in the trail";
        Q_UNUSED(audited);
    }

    void checkDays(const QString &server, const Account &supervisor, const QString &clerkA, const QString &clerkB)
    {
        data::Class1 chief;
        ASSERT_EQ(chief.ConnectToDataBase(supervisor.user, supervisor.password, server), 2);
        for (const Day &d : kDays) {
            const QString login = QLatin1String(d.who) == QLatin1String("A") ? clerkA : clerkB;
            const reports::DayStatementOutcome o =
                reports::dayStatement(chief, QDate::fromString(QLatin1String(d.date), Qt::ISODate), login);
            ASSERT_FALSE(o.message) << o.message->text.toStdString();
            EXPECT_EQ(o.statement.taken, d.taken) << d.date << " " << login.toStdString();
            EXPECT_EQ(o.statement.refunded, d.refunded) << d.date << " " << login.toStdString();
        }
    }
};

// ---- the embedded file ----------------------------------------------------------------

class EmbeddedFixture : public FixtureUpgrade {};

QStringList sqliteTables(const QSqlDatabase &db, QMap<QString, QStringList> *columns)
{
    QStringList tables;
    QSqlQuery q(db);
    q.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%' ORDER BY 1"));
    while (q.next())
        tables << q.value(0).toString();
    for (const QString &t : tables) {
        QSqlQuery c(db);
        c.exec(QStringLiteral("PRAGMA table_info(%1)").arg(t));
        while (c.next())
            (*columns)[t] << c.value(1).toString();
    }
    return tables;
}

Snapshot fileSnapshot(const QString &path, QStringList *tables, QMap<QString, QStringList> *columns)
{
    Snapshot s;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fixture_snapshot"));
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        EXPECT_TRUE(db.open());
        if (tables->isEmpty())
            *tables = sqliteTables(db, columns);
        // the file kept the wall clock, now UTC: Asia/Kolkata is 5 h 30 ahead all year
        s = snapshot(db, *tables, *columns,
                     QStringLiteral("round((changed_at + CASE WHEN EXISTS (SELECT 1 FROM sqlite_master WHERE name = "
                                    "'nbk_settings') THEN 5.5 / 24 ELSE 0 END) * 86400)"));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fixture_snapshot"));
    return s;
}

// A fixture of the shape this program writes is no earlier shape yet: it is made as soon
// as its version ships, and its upgrade is tested once the next version exists.
bool currentShape(const QString &shape)
{
    return QStringView(shape).mid(1).toInt() >= data::schema::kCurrentVersion;
}

// The shapes from v3 on keep a trail the day statement reads.
bool keepsDays(const QString &shape) { return QStringView(shape).mid(1).toInt() >= 3; }

TEST_P(EmbeddedFixture, UpgradesInPlaceWithNothingLost)
{
    const QString shape = GetParam();
    if (currentShape(shape))
        GTEST_SKIP() << "the current shape";
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("nbk.db"));
    ASSERT_TRUE(QFile::copy(kFixtures + QLatin1Char('/') + shape + QStringLiteral("/nbk.db"), path));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    QStringList tables;
    QMap<QString, QStringList> columns;
    const Snapshot before = fileSnapshot(path, &tables, &columns);
    ASSERT_TRUE(before.value(QStringLiteral("customer")).size() == 5);

    // the release before refuses nothing, but this one refuses the old shape until upgraded
    data::setEmbeddedDatabasePath(path);
    MessageScript::begin();
    data::Class1 early;
    EXPECT_EQ(early.ConnectToDataBase(QStringLiteral("clerk1"), QStringLiteral("nb"), QString()), 1);
    EXPECT_TRUE(MessageScript::texts().join(QString()).contains(QLatin1String("nbk-admin upgrade")));
    MessageScript::end();

    const AdminRun r = admin({QStringLiteral("upgrade"), path});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("to %1").arg(data::schema::kCurrentVersion))) << r.out.toStdString();
    expectKept(fileSnapshot(path, &tables, &columns), before);

    const bool v1 = shape == QLatin1String("v1");
    QList<Account> accounts = {{QStringLiteral("chief"), QStringLiteral("nb")},
                               {QStringLiteral("clerk1"), QStringLiteral("nb")},
                               {QStringLiteral("clerk2"), v1 ? QStringLiteral("fx-clerk2") : QStringLiteral("nb")}};
    if (!v1)
        accounts.append(Account{QStringLiteral("clerk3"), QStringLiteral("fx-clerk3")});
    checkWorking(QString(), accounts, QStringLiteral("clerk1"), true);
    if (keepsDays(shape))
        checkDays(QString(), accounts.first(), QStringLiteral("clerk1"), QStringLiteral("clerk3"));

    // a second run finds nothing to do
    const AdminRun again = admin({QStringLiteral("upgrade"), path});
    EXPECT_EQ(again.code, 0);
    EXPECT_TRUE(again.out.contains(QStringLiteral("nothing to do"))) << again.out.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Shapes, EmbeddedFixture,
                         ::testing::Values(QStringLiteral("v1"), QStringLiteral("v2"), QStringLiteral("v3"),
                                           QStringLiteral("v4"), QStringLiteral("v5"), QStringLiteral("v6"),
                                           QStringLiteral("v7"), QStringLiteral("v8"), QStringLiteral("v9")),
                         [](const auto &info) { return info.param.toStdString(); });

// A step that fails leaves the version before, whole; the next run finishes the work.
TEST(EmbeddedFixtureStep, AFailedStepLeavesTheVersionBeforeAndASecondRunFinishes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("nbk.db"));
    ASSERT_TRUE(QFile::copy(kFixtures + QStringLiteral("/v1/nbk.db"), path));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    QStringList tables;
    QMap<QString, QStringList> columns;
    const Snapshot before = fileSnapshot(path, &tables, &columns);
    // something of the administrator's stands where the phone's step builds its table
    auto runSql = [&](const QString &sql) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fixture_block"));
        db.setDatabaseName(path);
        EXPECT_TRUE(db.open() && QSqlQuery(db).exec(sql));
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("fixture_block"));
    };
    runSql(QStringLiteral("CREATE TABLE customer_v2 (x)"));
    const AdminRun failed = admin({QStringLiteral("upgrade"), path});
    EXPECT_NE(failed.code, 0);
    EXPECT_TRUE(failed.err.contains(QLatin1String("stays at version 1"))) << failed.err.toStdString();
    EXPECT_EQ(failed.err.trimmed().count(QLatin1Char('\n')), 0);
    tables.removeAll(QStringLiteral("customer_v2"));
    EXPECT_EQ(fileSnapshot(path, &tables, &columns), before);

    runSql(QStringLiteral("DROP TABLE customer_v2"));
    const AdminRun done = admin({QStringLiteral("upgrade"), path});
    EXPECT_EQ(done.code, 0) << done.err.toStdString();
    EXPECT_EQ(fileSnapshot(path, &tables, &columns), before);
}

// The bookings' rules check the rows written from version 7 on: a stored row that breaks
// one (a passenger's name with a tab, written by the owner before) stays through the
// upgrade, and its booking can still be cancelled in part.
TEST(EmbeddedFixtureStep, ARowBreakingALaterRuleStaysAndItsBookingCanStillBeCancelled)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("nbk.db"));
    ASSERT_TRUE(QFile::copy(kFixtures + QStringLiteral("/v6/nbk.db"), path));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    const QString tabbed = QStringLiteral("Lakshmi\tNarayan");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fixture_owner"));
        db.setDatabaseName(path);
        QString error;
        ASSERT_TRUE(db.open() && data::SqliteEngine::configure(db, &error)) << error.toStdString();
        QSqlQuery q(db);
        EXPECT_TRUE(q.exec(QStringLiteral("UPDATE customer SET name = 'Lakshmi' || char(9) || 'Narayan' "
                                          "WHERE customer_id = 1004")));
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fixture_owner"));
    ASSERT_EQ(admin({QStringLiteral("upgrade"), path}).code, 0);

    data::setEmbeddedDatabasePath(path);
    data::Class1 clerk;
    ASSERT_EQ(clerk.ConnectToDataBase(QStringLiteral("clerk1"), QStringLiteral("nb"), QString()), 2);
    EXPECT_EQ(clerk.GetCurrentConnection().query(QStringLiteral("SELECT name FROM customer WHERE customer_id = 1004"))
                  .value(0)
                  .toString(),
              tabbed);
    data::Transaction tx(clerk, QStringLiteral("the cancellation of seat 10 of customer 1004"));
    for (const char *sql : {" UPDATE CUSTOMER set fare = fare - ( 1* ( select (fare/(select count(*) from seat_matrix "
                            "where customer_id= 1004 )    )  from customer where customer_id=1004) ) where customer_id = 1004",
                            "DELETE FROM SEAT_MATRIX  WHERE customer_id =  1004 AND seat_no = 10",
                            " UPDATE Bus_instance SET free_seats = free_seats + 1  WHERE INSTANCE_ID = 10001"})
        ASSERT_EQ(clerk.exec(QString::fromLatin1(sql)), data::kExecOk) << sql << clerk.LastExecError().toStdString();
    tx.commit();
    // an update leaving the name as it is goes through; a new row with such a name does not
    EXPECT_EQ(clerk.exec(QStringLiteral("UPDATE customer SET name = name WHERE customer_id = 1004")), data::kExecOk);
    EXPECT_EQ(clerk.exec(QStringLiteral("Insert INTO Customer values ( 9999,-1,SYSDATE,'A\tB',-1,-1,'x','Unkn','Unkn',0)")),
              2290);
}

// ---- the server -----------------------------------------------------------------------

class ServerFixture : public FixtureUpgrade {
protected:
    void SetUp() override
    {
        admin_ = TestDatabase::adminUri();
        if (admin_.isEmpty())
            GTEST_SKIP() << "no PostgreSQL server (NBK_TEST_PG_URI)";
    }
    void TearDown() override
    {
        if (!database_.isEmpty())
            psql(admin_, {QStringLiteral("-c"), QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(database_)});
    }
    static int psql(const QString &uri, const QStringList &args)
    {
        QProcess p;
        p.start(QStringLiteral("psql"), QStringList{QStringLiteral("-q"), QStringLiteral("-X"), uri} + args);
        p.waitForFinished(120000);
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }
    QString uriFor(const QString &database, const QString &user = {}, const QString &password = {}) const
    {
        data::PostgresUri u = data::PostgresUri::parse(admin_);
        u.database = database;
        u.user = user;
        u.password = password;
        return u.toString();
    }

    // The shape's dump restored with its roles as the release's own database; the
    // superuser's URI of it, empty when it could not be restored.
    QString restore(const QString &shape, const QString &name = {})
    {
        const QString n = shape.mid(1);
        // the early shapes may take another name; later ones name their groups after it
        database_ = name.isEmpty() ? QStringLiteral("nbk_fx") + n : name;
        const QString folder = kFixtures + QLatin1Char('/') + shape + QLatin1Char('/');
        psql(admin_, {QStringLiteral("-c"), QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(database_)});
        // the early shapes share their groups: a role another test made already is kept
        psql(admin_, {QStringLiteral("-f"), folder + QStringLiteral("roles.sql")});
        EXPECT_EQ(psql(admin_, {QStringLiteral("-c"), QStringLiteral("CREATE DATABASE %1 OWNER nbk_fx%2_owner TEMPLATE template0 "
                                                                      "ENCODING 'UTF8'")
                                                           .arg(database_, n)}),
                  0);
        const QString superuser = data::PostgresUri::parse(admin_).withDatabase(database_);
        EXPECT_EQ(psql(superuser, {QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1"), QStringLiteral("-f"), folder + QStringLiteral("server.sql")}),
                  0);
        if (QFile::exists(folder + QStringLiteral("database.sql"))) {
            EXPECT_EQ(psql(admin_, {QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1"), QStringLiteral("-f"),
                                    folder + QStringLiteral("database.sql")}),
                      0);
        }
        return HasFailure() ? QString() : superuser;
    }

    QString admin_;
    QString database_;
};

Snapshot serverSnapshot(const QString &uri, QStringList *tables, QMap<QString, QStringList> *columns)
{
    Snapshot s;
    const QString name = QStringLiteral("fixture_server_snapshot");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        data::DbError err;
        EXPECT_TRUE(data::openPostgres(db, data::PostgresUri::parse(uri), QString(), QString(), 10, false, err))
            << err.description.toStdString();
        if (tables->isEmpty()) {
            QSqlQuery q(db);
            q.exec(QStringLiteral("SELECT c.relname, a.attname FROM pg_class c JOIN pg_attribute a ON a.attrelid = c.oid "
                                  "WHERE c.relnamespace = 'public'::regnamespace AND c.relkind = 'r' AND a.attnum > 0 "
                                  "AND NOT a.attisdropped ORDER BY c.relname, a.attnum"));
            while (q.next()) {
                if (!tables->contains(q.value(0).toString()))
                    *tables << q.value(0).toString();
                (*columns)[q.value(0).toString()] << q.value(1).toString();
            }
        }
        // an instant read in the zone, or the wall clock as it was kept
        QSqlQuery(db).exec(QStringLiteral("SET TimeZone = 'Asia/Kolkata'"));
        s = snapshot(db, *tables, *columns, QStringLiteral("changed_at::timestamp(0)"));
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return s;
}

TEST_P(ServerFixture, UpgradesInPlaceWithNothingLost)
{
    const QString shape = GetParam();
    if (currentShape(shape))
        GTEST_SKIP() << "the current shape";
    const QString n = shape.mid(1);
    const QString superuser = restore(shape);
    ASSERT_FALSE(superuser.isEmpty());
    QStringList tables;
    QMap<QString, QStringList> columns;
    const Snapshot before = serverSnapshot(superuser, &tables, &columns);
    ASSERT_EQ(before.value(QStringLiteral("customer")).size(), 5);

    // the database's owner upgrades it: no superuser needed
    const QString owner = uriFor(database_, QStringLiteral("nbk_fx%1_owner").arg(n), QStringLiteral("fx%1-owner").arg(n));
    const AdminRun wrong = admin({QStringLiteral("upgrade"), uriFor(database_, QStringLiteral("nbk_fx%1_owner").arg(n), QStringLiteral("nope"))});
    EXPECT_NE(wrong.code, 0);
    EXPECT_FALSE(wrong.err.contains(QLatin1String("nope")));
    const AdminRun r = admin({QStringLiteral("upgrade"), owner});
    ASSERT_EQ(r.code, 0) << r.err.toStdString() << r.out.toStdString();
    expectKept(serverSnapshot(superuser, &tables, &columns), before);

    const QString server = uriFor(database_);
    const QString a = QStringLiteral("fx%1clerk1").arg(n), b = QStringLiteral("fx%1clerk2").arg(n);
    const QList<Account> accounts = {{QStringLiteral("fx%1chief").arg(n), QStringLiteral("fx%1-chief").arg(n)},
                                     {a, QStringLiteral("fx%1-clerk1").arg(n)},
                                     {b, QStringLiteral("fx%1-clerk2").arg(n)}};
    checkWorking(server, accounts, a, true);
    if (keepsDays(shape))
        checkDays(server, accounts.first(), a, b);

    // what the early releases gave too widely is gone: the cluster-wide groups hold nothing
    // here, and nobody else may connect or create
    QSqlDatabase::removeDatabase(QStringLiteral("fixture_rights"));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("fixture_rights"));
        data::DbError err;
        ASSERT_TRUE(data::openPostgres(db, data::PostgresUri::parse(superuser), QString(), QString(), 10, false, err));
        QSqlQuery q(db);
        ASSERT_TRUE(q.exec(QStringLiteral(
            "SELECT has_database_privilege('public', current_database(), 'CONNECT'), "
            "has_schema_privilege('public', 'public', 'CREATE'), "
            "(SELECT count(*) FROM pg_roles WHERE rolname = 'nbk_clerk' "
            " AND has_table_privilege(oid, 'public.customer', 'INSERT')), "
            // the trail's time index a tree, whatever the release before made
            "(SELECT am.amname FROM pg_class c JOIN pg_am am ON am.oid = c.relam "
            " WHERE c.relname = 'nbk_audit_changed')")));
        ASSERT_TRUE(q.next());
        EXPECT_FALSE(q.value(0).toBool());
        EXPECT_FALSE(q.value(1).toBool());
        EXPECT_EQ(q.value(2).toInt(), 0);
        EXPECT_EQ(q.value(3).toString(), QStringLiteral("btree"));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fixture_rights"));
}

INSTANTIATE_TEST_SUITE_P(Shapes, ServerFixture,
                         ::testing::Values(QStringLiteral("v1"), QStringLiteral("v1b"), QStringLiteral("v2"),
                                           QStringLiteral("v3"), QStringLiteral("v4"), QStringLiteral("v5"),
                                           QStringLiteral("v6"), QStringLiteral("v7"), QStringLiteral("v8"), QStringLiteral("v9")),
                         [](const auto &info) { return info.param.toStdString(); });

}  // namespace

namespace {

// An early release left cluster-wide groups named like a new database's; the new database
// takes names of its own, so the early groups' members do not get in.
TEST_F(ServerFixture, ANewDatabaseNeverAdoptsAGroupThatExistsAlready)
{
    database_ = QStringLiteral("nbk_fxadopt");
    psql(admin_, {QStringLiteral("-c"), QStringLiteral("DROP DATABASE IF EXISTS nbk_fxadopt WITH (FORCE)")});
    psql(admin_, {QStringLiteral("-c"), QStringLiteral("CREATE ROLE nbk_fxadopt_clerk NOLOGIN")});
    psql(admin_, {QStringLiteral("-c"), QStringLiteral("CREATE ROLE fxadopt_old LOGIN PASSWORD 'old-pw' IN ROLE nbk_fxadopt_clerk")});
    const AdminRun init = admin({QStringLiteral("init"), QStringLiteral("--demo"), data::PostgresUri::parse(admin_).withDatabase(database_)});
    ASSERT_EQ(init.code, 0) << init.err.toStdString();
    data::Class1 old;
    MessageScript::begin();
    EXPECT_NE(old.ConnectToDataBase(QStringLiteral("fxadopt_old"), QStringLiteral("old-pw"), uriFor(database_)), 2);
    MessageScript::end();
    QProcess p;
    p.start(QStringLiteral("psql"), {QStringLiteral("-XAtq"), data::PostgresUri::parse(admin_).withDatabase(database_),
                                     QStringLiteral("-c"), QStringLiteral("SELECT clerk FROM nbk_groups")});
    p.waitForFinished(60000);
    // a number after the name (2, or more when an earlier run left its groups behind)
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardOutput()).trimmed().startsWith(QLatin1String("nbk_fxadopt_clerk_")));
}

}  // namespace

namespace {

// A step the server refuses (a view of the administrator's reads the column the step
// changes) leaves the version before, whole; once the cause is gone the next run finishes.
TEST_F(ServerFixture, AFailedStepLeavesTheVersionBeforeAndASecondRunFinishes)
{
    const QString superuser = restore(QStringLiteral("v1"), QStringLiteral("nbk_fx1_step"));
    ASSERT_FALSE(superuser.isEmpty());
    QStringList tables;
    QMap<QString, QStringList> columns;
    const Snapshot before = serverSnapshot(superuser, &tables, &columns);
    psql(superuser, {QStringLiteral("-c"), QStringLiteral("CREATE VIEW phones AS SELECT phone FROM customer")});
    const QString owner = uriFor(database_, QStringLiteral("nbk_fx1_owner"), QStringLiteral("fx1-owner"));
    const AdminRun failed = admin({QStringLiteral("upgrade"), owner});
    EXPECT_NE(failed.code, 0);
    EXPECT_TRUE(failed.err.contains(QLatin1String("stays at version 1"))) << failed.err.toStdString();
    EXPECT_EQ(serverSnapshot(superuser, &tables, &columns), before);
    psql(superuser, {QStringLiteral("-c"), QStringLiteral("DROP VIEW phones")});
    const AdminRun done = admin({QStringLiteral("upgrade"), owner});
    EXPECT_EQ(done.code, 0) << done.err.toStdString();
    EXPECT_EQ(serverSnapshot(superuser, &tables, &columns), before);
}

}  // namespace
