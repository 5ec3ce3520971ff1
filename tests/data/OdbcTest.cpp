// Logins through unixODBC: the connection string goes to the driver manager as built, the
// driver names come from odbcinst.ini, and a PostgreSQL database behind the driver gets the
// PostgreSQL dialect.
#include "data/session/Class1.h"
#include "data/session/Transaction.h"
#include "data/engines/OdbcEngine.h"
#include "data/engines/PostgresEngine.h"
#include "support/AdminRunner.h"
#include "support/TestDatabase.h"
#include "support/MessageScript.h"
#include "ui/prompt/Prompt.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace nbk;
using namespace nbk::test;

namespace {

// Debian's odbc-postgresql puts the driver here.
QString postgresOdbcDriver()
{
    for (const char *p : {"/usr/lib/x86_64-linux-gnu/odbc/psqlodbcw.so", "/usr/lib/aarch64-linux-gnu/odbc/psqlodbcw.so",
                          "/usr/lib/odbc/psqlodbcw.so", "/usr/local/lib/psqlodbcw.so"})
        if (QFileInfo::exists(QLatin1String(p)))
            return QLatin1String(p);
    return {};
}

// An odbcinst.ini of the test's own, found through ODBCSYSINI. The driver manager reads
// that variable once per process, so every test of the process shares one directory and
// only the file's contents change.
class OdbcIni {
public:
    explicit OdbcIni(const QString &contents)
    {
        static QTemporaryDir dir;
        static const bool set = [] {
            qputenv("ODBCSYSINI", dir.path().toUtf8());
            QFile(dir.filePath(QStringLiteral("odbc.ini"))).open(QIODevice::WriteOnly);
            return true;
        }();
        Q_UNUSED(set);
        path_ = dir.filePath(QStringLiteral("odbcinst.ini"));
        write(contents);
    }
    ~OdbcIni() { write(QString()); }

private:
    void write(const QString &contents)
    {
        QFile f(path_);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(contents.toUtf8());
    }
    QString path_;
};

class Odbc : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::MessageScript::install();
        test::MessageScript::begin();
    }
    void TearDown() override { test::MessageScript::end(); }
};

// Run in a child process whose ODBCSYSINI names no driver at all (the driver manager
// keeps what it read for the life of a process).
TEST_F(Odbc, DISABLED_WithoutTheDriversChild)
{
    data::Class1 s;
    EXPECT_EQ(s.ConnectToDataBase(QStringLiteral("clerk1"), QStringLiteral("nb"), QStringLiteral("central")), 0);
    EXPECT_EQ(s.LastConnectionString(), "SERVER=central;DRIVER={Microsoft ODBC For Oracle};UID=clerk1;PWD=********;");
    EXPECT_EQ(s.ConnectToDataBase(QStringLiteral("clerk1"), QStringLiteral("nb"), QStringLiteral("central")), 0);
    EXPECT_TRUE(test::MessageScript::texts().isEmpty());
    EXPECT_EQ(s.ConnectToDataBase(QStringLiteral("clerk1"), QStringLiteral("nb"), QStringLiteral("central")), 1);
    EXPECT_EQ(s.LastConnectionString(), "SERVER=central;DRIVER={SQL Server};UID=clerk1;PWD=********;");
    EXPECT_EQ(test::MessageScript::texts(),
              QStringList({"Could not logon to server. Please Contact your supervisor if the problem persists "}));
    EXPECT_EQ(s.FailedLogins(), 0);
}

TEST_F(Odbc, WithoutTheDriversThreeAttemptsGiveZeroZeroThenTheLogonMessage)
{
    QTemporaryDir empty;
    QFile(empty.filePath(QStringLiteral("odbcinst.ini"))).open(QIODevice::WriteOnly);
    QFile(empty.filePath(QStringLiteral("odbc.ini"))).open(QIODevice::WriteOnly);
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ODBCSYSINI"), empty.path());
    env.insert(QStringLiteral("HOME"), empty.path());  // no user data sources either
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=Odbc.DISABLED_WithoutTheDriversChild"),
                 QStringLiteral("--gtest_also_run_disabled_tests")});
    ASSERT_TRUE(child.waitForFinished(60000));
    const QString out = QString::fromUtf8(child.readAllStandardOutput());
    EXPECT_EQ(child.exitCode(), 0) << out.toStdString();
    EXPECT_TRUE(out.contains(QLatin1String("[  PASSED  ] 1 test"))) << out.toStdString();
}

class OdbcServer : public Odbc {
protected:
    void SetUp() override
    {
        if (TestDatabase::adminUri().isEmpty())
            GTEST_SKIP() << "no PostgreSQL server (NBK_TEST_PG_URI)";
        driver_ = postgresOdbcDriver();
        if (driver_.isEmpty())
            GTEST_SKIP() << "PostgreSQL's ODBC driver is not installed (odbc-postgresql)";
        Odbc::SetUp();
        db_ = std::make_unique<TestDatabase>(EngineKind::Postgres);
        ini_ = std::make_unique<OdbcIni>(QStringLiteral("[Oracle ODBC Driver]\nDescription=PostgreSQL under the "
                                                        "name the client asks for\nDriver=%1\n")
                                             .arg(driver_));
        // The Server box carries what psqlODBC needs beyond the host: the connection
        // string stays exactly as the client builds it.
        const data::PostgresUri u = data::PostgresUri::parse(db_->server());
        server_ = u.host + QStringLiteral(";PORT=") + u.port + QStringLiteral(";DATABASE=") + u.database;
    }
    void TearDown() override
    {
        ini_.reset();
        db_.reset();
        if (test::MessageScript::active())
            Odbc::TearDown();
    }
    QString driver_;
    QString server_;
    std::unique_ptr<TestDatabase> db_;
    std::unique_ptr<OdbcIni> ini_;
};

TEST_F(OdbcServer, SecondDriverLogsInAndStatementsSpeakThePostgresDialect)
{
    data::Class1 s;
    EXPECT_EQ(s.ConnectToDataBase(QStringLiteral("clerk1"), QStringLiteral("nb"), server_), 0);
    EXPECT_TRUE(test::MessageScript::texts().isEmpty());
    ASSERT_EQ(s.ConnectToDataBase(QStringLiteral("clerk1"), QStringLiteral("nb"), server_), 2)
        << test::MessageScript::texts().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(s.LastConnectionString(),
              "SERVER=" + server_ + ";DRIVER={Oracle ODBC Driver};UID=clerk1;PWD=********;");
    EXPECT_EQ(s.UserName(), "clerk1");
    data::Connection &cn = s.GetCurrentConnection();
    ASSERT_EQ(cn.engineName(), "odbc");
    EXPECT_TRUE(static_cast<data::OdbcEngine *>(cn.engine())->speaksPostgres());

    EXPECT_EQ(cn.query("SELECT To_char(TO_DATE('3-5-2003 9:5:00','mm-dd-yyyy hh24:mi:ss') + 20/1440,"
                       "'DD-MM-YYYY HH24:MI:SS') FROM DUAL")
                  .value(0)
                  .toString(),
              "05-03-2003 09:25:00");
    const int id = cn.query(" SELECT C_seq.NEXTVAL FROM Dual ").value("NEXTVAL").toInt();
    EXPECT_GE(id, 1001);

    db_->exec("INSERT INTO PLACE VALUES('A', 'Aa')");
    db_->exec("INSERT INTO ROUTE VALUES( 7, 'A' , 'A', 2, 250, 1, 5, 300, NULL)");
    db_->exec({"INSERT INTO ROUTE_ELEMENT VALUES(1, 'A', 'A', 0)", "INSERT INTO PATH_ORDER VALUES(7, 1, 1)",
               "INSERT INTO PATH_ORDER VALUES(7, 2, 1)", "INSERT INTO BUS_INFO VALUES('R1', 2, 40)"});
    db_->exec("INSERT INTO bus_instance values( 70, 7, TO_DATE('05-03-2003 23:50:00','DD-MM-YYYY HH24:MI:SS') , 'tt' , 0 , 'R1' , 2 , 40 ) ");
    // the SQLSTATE behind psqlODBC's one native code decides the Oracle number
    EXPECT_EQ(s.exec("INSERT INTO PLACE VALUES('A', 'Again')"), 1031);  // a clerk may not
    EXPECT_EQ(s.exec("INSERT INTO NO_SUCH_TABLE VALUES(1)"), 942);
    EXPECT_EQ(s.exec("SELEKT 1 FROM DUAL"), 900);
    data::Transaction txS(s, QStringLiteral("the test's work"));
    EXPECT_EQ(s.exec("Insert INTO Customer values ( 1,-1,SYSDATE,'**TEMP**',-1,-1,'x','Unkn','Unkn',0)"), -13);
    EXPECT_EQ(s.exec("Insert INTO Customer values ( 1,-1,SYSDATE,'**TEMP**',-1,-1,'x','Unkn','Unkn',0)"), 1);
    EXPECT_EQ(s.exec("INSERT INTO seat_matrix VALUES( 70 , 3 ,1 , 2 , 1, 'r' )"), -13);
    EXPECT_EQ(s.exec("INSERT INTO seat_matrix VALUES( 70 , 3 ,2 , 2 , 1, 'r' )"), 20001);
    s.SetupSetSeatMatrix();
    data::Command &m = s.SQLcmdSetSeatMatrix();
    for (int i = 0; i < 5; ++i)
        m.setValue(i, QVariant(QList<int>{70, 4, 1, 2, 1}[i]));
    m.execute();
    // the booking's counter and customer details, as the server's rules want them at commit
    EXPECT_EQ(s.exec("UPDATE bus_instance SET free_seats = free_seats - 2 WHERE instance_id = 70"), -13);
    EXPECT_EQ(s.exec("UPDATE customer SET instance_id = 70, name = 'P', fare = 2 * "
                     "(SELECT base FROM class_type WHERE class = 2), origin = 'A', destin = 'A', journey_date = "
                     "TO_DATE('05-03-2003 23:50:00','DD-MM-YYYY HH24:MI:SS') WHERE customer_id = 1"), -13);
    txS.commit();
    EXPECT_EQ(db_->scalar("SELECT count(*) FROM seat_matrix WHERE customer_id = 1").toInt(), 2);

    // another counter's row lock: the same message as Oracle's
    auto other = db_->login(QStringLiteral("clerk2"));
    data::Transaction txOther(*other, QStringLiteral("the test's work"));
    other->GetCurrentConnection().query("SELECT * FROM customer WHERE customer_id = 1 FOR UPDATE NOWAIT");
    txS = data::Transaction(s, QStringLiteral("the test's work"));
    try {
        cn.query("SELECT * FROM customer WHERE customer_id = 1 FOR UPDATE NOWAIT");
        ADD_FAILURE() << "the lock was granted twice";
    } catch (const data::DbException &e) {
        EXPECT_EQ(e.error().description, "ORA-00054: resource busy and acquire with NOWAIT specified");
    }
    txS.rollback();
    txOther.rollback();
}

TEST_F(OdbcServer, WrongPasswordThroughTheDriverIsCountedNotADriverChange)
{
    data::Class1 s;
    EXPECT_EQ(s.ConnectToDataBase(QStringLiteral("clerk1"), QStringLiteral("nb"), server_), 0);  // driver 1 missing
    EXPECT_EQ(s.ConnectToDataBase(QStringLiteral("clerk1"), QStringLiteral("bad"), server_), 0);
    EXPECT_EQ(test::MessageScript::texts(), QStringList({"Incorrect Username/Password"}));
    EXPECT_EQ(s.FailedLogins(), 1);
    EXPECT_EQ(s.DriverIndex(), 2);
    EXPECT_EQ(s.ConnectToDataBase(QStringLiteral("clerk1"), QStringLiteral("nb"), server_), 2);
}

// Braces and ";" in the user name or password inject no keyword (psqlODBC takes a braced
// password whole, a braced user name with its braces), and a Server text may add
// attributes but not set the login's own again.
TEST_F(OdbcServer, UserPasswordAndServerTextsInjectNoKeyword)
{
    const QString target = data::PostgresUri::parse(TestDatabase::adminUri()).withDatabase(db_->databaseName());
    const QString role = QStringLiteral("odbc_clerk_%1").arg(QCoreApplication::applicationPid());
    const QString password = QStringLiteral("p;w}d{=x;PWD=nb");
    ASSERT_EQ(test::admin({"useradd", "--database", target, role}, (password + "\n").toUtf8()).code, 0);
    struct Case {
        QString server, user, password;
        qint16 result;
        int error;
    };
    const Case cases[] = {
        {server_, role, password, 2, 0},
        {server_, "clerk1;PWD=nb", "wrong", 0, 1017},
        {server_, "clerk1", "nb}", 0, 1017},
        {server_ + ";UID=chief;PWD=nb", "clerk1", "wrong", 0, 12154},
        {server_ + ";Password=nb", "clerk1", "wrong", 0, 12154},
    };
    for (const Case &c : cases) {
        data::Class1 s;
        s.ConnectToDataBase(c.user, c.password, c.server);  // the first driver name is not registered
        EXPECT_EQ(s.ConnectToDataBase(c.user, c.password, c.server), c.result) << (c.server + " " + c.user).toStdString();
        EXPECT_EQ(s.LastLoginError().nativeError, c.error) << s.LastLoginError().description.toStdString();
    }
    const QString quoted = QLatin1Char('"') + role + QLatin1Char('"');
    db_->exec("DROP OWNED BY " + quoted);
    db_->exec("DROP ROLE " + quoted);
}

}  // namespace
