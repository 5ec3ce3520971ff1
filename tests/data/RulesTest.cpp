// The database's own rules, tried as a clerk would with any SQL tool: the statements go
// straight to the session's connection, past every screen.
#include "data/session/Audit.h"
#include "data/session/Transaction.h"
#include "data/engines/PostgresEngine.h"
#include "support/AdminRunner.h"
#include "support/TestDatabase.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlDatabase>
#include <QSqlQuery>

using namespace nbk;
using namespace nbk::test;

namespace {

class Rules : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        seedRouteABCD();
        clerk_ = db().login(QStringLiteral("clerk1"));
        book(*clerk_, 501, {1, 2}, 1, 2);
    }

    // The statements the booking sends, with the fare the customer screen computes.
    void book(data::Class1 &s, int cid, const QList<int> &seats, int s1, int s2)
    {
        const double km = db().scalar(QStringLiteral("SELECT SUM(KM) FROM route_element WHERE REID IN (SELECT REID "
                                                     "FROM PATH_ORDER WHERE ROUTE_ID = 7 AND Sequence_no >= %1 "
                                                     "And sequence_no <= %2)")
                                          .arg(s1)
                                          .arg(s2))
                              .toDouble();
        data::ResultSet f = db().query("SELECT f.multiplier, ct.multiplier, ct.base FROM fuel_index f, class_type ct "
                                       "WHERE f.fpi = 1 AND ct.class = 2");
        const int fare = data::seatFare(km, f.value(0).toDouble(), f.value(1).toDouble(), f.value(2).toDouble())
                         * int(seats.size());
        data::Transaction txS(s, QStringLiteral("the test's work"));
        QStringList sql = {QStringLiteral("Insert INTO Customer values ( %1,-1,SYSDATE,'**TEMP**',-1,-1,'x','Unkn',"
                                          "'Unkn',0)")
                               .arg(cid)};
        for (int seat : seats)
            sql << QStringLiteral(" INSERT INTO seat_matrix VALUES( 70 , %1 ,%2 , %3 , %4, 'r' )")
                       .arg(seat)
                       .arg(s1)
                       .arg(s2)
                       .arg(cid);
        sql << QStringLiteral("UPDATE BUS_INSTANCE set free_seats=free_seats-%1 Where instance_id=70").arg(seats.size())
            << QStringLiteral("UPDATE Customer set Instance_ID =70, Name = 'Ravi' , age=30, phone='1', gender='M' , "
                              "origin='A' , destin='C', fare=%1, Journey_date=TO_DATE('05-03-2003 23:50:00',"
                              "'DD-MM-YYYY HH24:MI:SS') where customer_ID = %2")
                   .arg(fare)
                   .arg(cid);
        for (const QString &q : sql)
            ASSERT_EQ(s.exec(q), -13) << q.toStdString() << ": " << s.LastExecError().toStdString();
        txS.commit();
    }

    // What a refused statement must leave as it was.
    QString state()
    {
        data::ResultSet rs = db().query("SELECT (SELECT sum(fare) FROM customer), (SELECT count(*) FROM seat_matrix), "
                                        "(SELECT count(*) FROM bus_instance), (SELECT free_seats FROM bus_instance), "
                                        "(SELECT To_char(dep_date,'mm-dd-yyyy hh24:mi:ss') FROM bus_instance), "
                                        "(SELECT count(*) FROM place), (SELECT count(*) FROM nbk_audit) FROM dual");
        QStringList cells;
        for (int i = 0; i < rs.fieldCount(); ++i)
            cells << rs.value(i).toString();
        return cells.join(QLatin1Char('|'));
    }

    int auditRows(const QString &where) { return db().scalar("SELECT count(*) FROM nbk_audit WHERE " + where).toInt(); }

    std::unique_ptr<data::Class1> clerk_;
};

TEST_P(Rules, AClerksHandWrittenStatementsAreRefusedWithNothingChanged)
{
    const bool embedded = GetParam() == EngineKind::Embedded;
    struct Case {
        const char *sql;
        int error;
        bool embeddedOnly;
    };
    const Case cases[] = {
        {"update customer set fare = 0", 20004, false},
        {"delete from bus_instance", 1031, false},
        {"update bus_instance set free_seats = 500", 20002, false},
        {"update bus_instance set dep_date = dep_date + 3/24", 1031, false},
        {"delete from seat_matrix", 20002, false},
        {"delete from customer", 2292, false},
        {"INSERT INTO PLACE VALUES('E', 'Ee')", 1031, false},
        {"DELETE route_frequency where route_id = 7", 1031, false},
        {"UPDATE nbk_audit SET login = 'chief'", 1031, false},
        {"DELETE FROM nbk_audit", 1031, false},
        {"SELECT hash FROM nbk_account", 1031, true},
        {"UPDATE nbk_account SET supervisor = 1", 1031, true},
        {"PRAGMA foreign_keys = OFF", 1031, true},
        {"CREATE TEMP TRIGGER t AFTER INSERT ON place BEGIN DELETE FROM nbk_audit; END", 1031, true},
    };
    const QString before = state();
    for (const Case &c : cases) {
        if (c.embeddedOnly && !embedded)
            continue;
        SCOPED_TRACE(c.sql);
        const qint16 r = clerk_->exec(QString::fromLatin1(c.sql));
        if (c.error == 2292)  // the seats' key on the server, a customer without its seats' rule here
            EXPECT_TRUE(r == 2292 || r == 20004) << r;
        else
            EXPECT_EQ(r, c.error) << clerk_->LastExecError().toStdString();
        EXPECT_EQ(state(), before);
    }
}

TEST_P(Rules, BookingCancellationAndRouteDeletionLeaveTheirAuditRows)
{
    // the booking of SetUp: one transaction, every row by clerk1
    EXPECT_EQ(auditRows("customer_id = 501 AND lower(login) = 'clerk1'"), 4);  // the customer twice, two seats
    EXPECT_EQ(db().scalar("SELECT count(DISTINCT txid) FROM nbk_audit WHERE lower(login) = 'clerk1'").toInt(), 1);
    data::ResultSet run = db().query("SELECT old_values, new_values FROM nbk_audit WHERE table_name = 'bus_instance' "
                                     "AND lower(login) = 'clerk1'");
    ASSERT_EQ(run.recordCount(), 1);
    EXPECT_EQ(QJsonDocument::fromJson(run.value(0).toString().toUtf8()).object().value("free_seats").toInt(), 40);
    const QJsonObject now = QJsonDocument::fromJson(run.value(1).toString().toUtf8()).object();
    EXPECT_EQ(now.value("free_seats").toInt(), 38);
    EXPECT_EQ(now.value("dep_date").toString(), "2003-03-05T23:50:00");  // one form on both engines
    EXPECT_EQ(db().scalar("SELECT changed_at FROM nbk_audit ORDER BY audit_id DESC").toDateTime().date(), QDate::currentDate());

    // a partial cancellation as the cancellation screen sends it, by another clerk: the
    // fare arithmetic keeps the fare rule (the per-seat fare times the seats left)
    auto other = db().login(QStringLiteral("clerk2"));
    const double fare = db().scalar("SELECT fare FROM customer WHERE customer_id = 501").toDouble();
    data::Transaction txOther(*other, QStringLiteral("the test's work"));
    for (const char *sql :
         {" UPDATE CUSTOMER set fare = fare - ( 1* ( select (fare/(select count(*) from seat_matrix where "
          "customer_id= 501 )    )  from customer where customer_id=501) ) where customer_id = 501",
          "DELETE FROM SEAT_MATRIX  WHERE customer_id =  501 AND seat_no = 2",
          " UPDATE Bus_instance SET free_seats = free_seats + 1  WHERE INSTANCE_ID = 70"})
        ASSERT_EQ(other->exec(QString::fromLatin1(sql)), -13) << sql;
    txOther.commit();
    EXPECT_DOUBLE_EQ(db().scalar("SELECT fare FROM customer WHERE customer_id = 501").toDouble(), fare / 2);
    EXPECT_EQ(auditRows("lower(login) = 'clerk2' AND action = 'DELETE' AND table_name = 'seat_matrix'"), 1);
    EXPECT_EQ(db().scalar("SELECT count(DISTINCT txid) FROM nbk_audit WHERE lower(login) LIKE 'clerk%'").toInt(), 2);

    // a route whose run holds a reservation stays; without one it goes, with everything
    // that hangs on it, and the supervisor's login on each row
    auto chief = db().login(QStringLiteral("chief"));
    EXPECT_EQ(chief->exec("Delete Route where route_id = 7"), 2292);
    db().exec({"DELETE FROM seat_matrix", "DELETE FROM customer"});
    EXPECT_EQ(chief->exec("Delete Route where route_id = 7"), -13);
    EXPECT_EQ(db().scalar("SELECT count(*) FROM path_order").toInt(), 0);
    EXPECT_EQ(auditRows("lower(login) = 'chief' AND action = 'DELETE' AND table_name IN "
                        "('route', 'path_order', 'bus_instance')"),
              5);
}

// The trail's tool keeps a clerk to the clerk's own login, as the day statement does.
TEST_P(Rules, TheTrailToolShowsAClerkOnlyTheClerksOwnLogin)
{
    const QString database = db().kind() == EngineKind::Embedded ? db().embeddedPath() : db().server();
    const auto audit = [&](const char *user, const QStringList &more) {
        return admin(QStringList{"audit", "--database", database, "--user", user, "--password", "nb"} + more);
    };
    const AdminRun all = audit("chief", {});
    ASSERT_EQ(all.code, 0) << all.err.toStdString();
    const QString owner = all.out.section(QLatin1Char('\t'), 2, 2);
    ASSERT_FALSE(owner.isEmpty()) << all.out.toStdString();
    EXPECT_EQ(audit("chief", {"--login", owner}).code, 0);
    for (const QString &other : {owner, QStringLiteral("clerk2")}) {
        const AdminRun refused = audit("clerk1", {"--login", other});
        EXPECT_EQ(refused.code, 1);
        EXPECT_TRUE(refused.err.contains("only the supervisor")) << refused.err.toStdString();
        EXPECT_EQ(refused.out, QString());
    }
    const AdminRun own = audit("clerk1", {});
    EXPECT_EQ(own.code, 0) << own.err.toStdString();
    EXPECT_FALSE(own.out.contains(owner)) << own.out.toStdString();
    EXPECT_EQ(audit("clerk1", {"--login", "CLERK1"}).code, 0);
}

NBK_ALL_ENGINES(Rules);

// The server's accounts: nothing that exists is taken over, no password reaches the log.
TEST(ServerAccounts, UseraddRefusesEveryExistingRoleAndNoPasswordIsEverLogged)
{
    const QString adminUri = TestDatabase::adminUri();
    if (adminUri.isEmpty())
        GTEST_SKIP() << "no PostgreSQL server (NBK_TEST_PG_URI)";
    TestDatabase db(EngineKind::Postgres);
    // an administrator of its own whose every statement the server logs
    const QString logged = QStringLiteral("nbk_logged_admin_%1").arg(QCoreApplication::applicationPid());
    auto adminDo = [&](const QString &sql) {
        QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("rules_admin"));
        data::DbError err;
        EXPECT_TRUE(data::openPostgres(c, data::PostgresUri::parse(adminUri), QString(), QString(), 10, false, err));
        QSqlQuery q(c);
        EXPECT_TRUE(q.exec(sql)) << sql.toStdString();
        const QString v = q.next() ? q.value(0).toString() : QString();
        q.finish();
        c.close();
        c = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("rules_admin"));
        return v;
    };
    adminDo(QStringLiteral("CREATE ROLE %1 SUPERUSER LOGIN PASSWORD 'adm'").arg(logged));
    adminDo(QStringLiteral("ALTER ROLE %1 SET log_statement = 'all'").arg(logged));
    data::PostgresUri target = data::PostgresUri::parse(adminUri);
    target.user = logged;
    target.password = QStringLiteral("adm");
    target.database = db.databaseName();
    const QString uri = target.toString();
    data::ResultSet groups = db.query("SELECT clerk, supervisor FROM nbk_groups");
    const QStringList names = {QStringLiteral("postgres"), QStringLiteral("CHIEF"), groups.value(0).toString(),
                               groups.value(1).toString()};
    // only the roles tried: the tests running beside this one create and drop roles of their own
    const QString roles = QStringLiteral("SELECT string_agg(rolname || rolcanlogin::text || coalesce(rolpassword, ''), "
                                         "',' ORDER BY rolname) FROM pg_authid WHERE lower(rolname) IN ('%1')")
                              .arg(names.join(QStringLiteral("','")).toLower());
    const QString before = adminDo(roles);
    for (const QString &name : names) {
        for (const bool supervisor : {false, true}) {
            SCOPED_TRACE(name.toStdString());
            QStringList args = {"useradd", "--database", uri, name};
            if (supervisor)
                args.insert(3, QStringLiteral("--supervisor"));
            const AdminRun r = admin(args, "Takeover-pw-1\n");
            EXPECT_EQ(r.code, 1);
            EXPECT_TRUE(r.err.contains("exists already")) << r.err.toStdString();
        }
    }
    EXPECT_EQ(adminDo(roles), before);
    // passwd reaches only this database's accounts
    EXPECT_EQ(admin({"passwd", "--database", uri, "postgres"}, "Takeover-pw-2\n").code, 1);
    const QString fresh = QStringLiteral("rules_clerk_%1").arg(QCoreApplication::applicationPid());
    EXPECT_EQ(admin({"useradd", "--database", uri, fresh}, "Clear-pw-3\n").code, 0);
    EXPECT_EQ(admin({"passwd", "--database", uri, fresh}, "Clear-pw-4\n").code, 0);
    EXPECT_EQ(admin({"audit", "--database", db.server(), "--user", fresh, "--password", "Clear-pw-4"}).code, 0);

    const QString dataDir = adminDo(QStringLiteral("SELECT current_setting('data_directory')"));
    QFile log(dataDir.section(QLatin1Char('/'), 0, -2) + QStringLiteral("/log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly)) << log.fileName().toStdString();
    const QByteArray text = log.readAll();
    EXPECT_TRUE(text.contains(fresh.toUtf8())) << "the statements were not logged";
    for (const char *secret : {"Takeover-pw-1", "Takeover-pw-2", "Clear-pw-3", "Clear-pw-4"})
        EXPECT_FALSE(text.contains(secret)) << secret;
    adminDo(QStringLiteral("DROP ROLE %1").arg(fresh));
    adminDo(QStringLiteral("DROP ROLE %1").arg(logged));
}

}  // namespace
