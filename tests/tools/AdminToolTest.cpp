#include <QProcess>
#include <QFileInfo>
#include <QTemporaryDir>
#include "support/AdminRunner.h"

#include <gtest/gtest.h>

namespace {

using nbk::test::AdminRun;
using nbk::test::admin;

class AdminTool : public ::testing::Test {
protected:
    void SetUp() override
    {
        db = dir.filePath("admin.db");
        ASSERT_EQ(admin({"init", "--demo", "--kdf-iterations", "1000", db}).code, 0);
    }
    AdminRun sql(const QString &user, const QString &password, const QStringList &statements)
    {
        return admin(QStringList{"sql", "--database", db, "--user", user, "--password", password} + statements);
    }
    QTemporaryDir dir;
    QString db;
};

TEST_F(AdminTool, SqlPrintsNamesThenTabSeparatedRowsInShortestForm)
{
    const AdminRun r = sql("chief", "nb",
                      {"SELECT route_id, km, (r.km/r.travelmins) speed FROM route r WHERE route_id = 3",
                       "SELECT To_char(TO_DATE('3-5-2003 9:5:00','mm-dd-yyyy hh24:mi:ss'),'DD-MM-YYYY HH24:MI') d FROM DUAL"});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], "route_id\tkm\tspeed");
    EXPECT_TRUE(lines[1].startsWith("3\t145\t0.8")) << lines[1].toStdString();
    EXPECT_EQ(lines[3], "05-03-2003 09:05");
}

TEST_F(AdminTool, FailuresPrintTheOracleNumberAndExitNonZero)
{
    const AdminRun dup = sql("chief", "nb", {"INSERT INTO PLACE VALUES('Bang', 'Bangalore again')"});
    EXPECT_NE(dup.code, 0);
    EXPECT_TRUE(dup.err.startsWith("ORA-00001: ")) << dup.err.toStdString();
    const AdminRun missing = sql("chief", "nb", {"SELECT * FROM no_such_table"});
    EXPECT_TRUE(missing.err.startsWith("ORA-00942: ")) << missing.err.toStdString();
    const AdminRun login = sql("chief", "wrong", {"SELECT 1 FROM DUAL"});
    EXPECT_NE(login.code, 0);
    EXPECT_TRUE(login.err.startsWith("ORA-01017: ")) << login.err.toStdString();
    // a user name brings no password of its own
    const AdminRun injected = sql("clerk1;PWD=nb", "wrong", {"SELECT 1 FROM DUAL"});
    EXPECT_TRUE(injected.err.startsWith("ORA-01017: ")) << injected.err.toStdString();
}

TEST_F(AdminTool, PasswdReplacesThePasswordReadFromStandardInput)
{
    EXPECT_EQ(admin({"passwd", "--database", db, "--kdf-iterations", "1000", "clerk1"}, "s3cret\n").code, 0);
    EXPECT_NE(sql("clerk1", "nb", {"SELECT 1 FROM DUAL"}).code, 0);
    EXPECT_EQ(sql("clerk1", "s3cret", {"SELECT 1 FROM DUAL"}).code, 0);
    EXPECT_NE(admin({"passwd", "--database", db, "nobody"}, "x\n").code, 0);
}

TEST_F(AdminTool, InitNeverOverwritesAnExistingFile)
{
    const AdminRun again = admin({"init", db}, "x\n");
    EXPECT_NE(again.code, 0);
    EXPECT_EQ(sql("chief", "nb", {"SELECT count(*) FROM place"}).out.split('\n')[1], "25");
}

// A database for real counters has no account with a known password: the supervisor's
// comes from standard input, the clerks from useradd.
TEST_F(AdminTool, InitWithoutDemoKnowsOnlyTheSupervisorsOwnPassword)
{
    const QString prod = dir.filePath(QStringLiteral("counters.db"));
    EXPECT_NE(admin({"init", "--kdf-iterations", "1000", prod}).code, 0);  // no password given
    EXPECT_FALSE(QFileInfo::exists(prod));
    ASSERT_EQ(admin({"init", "--kdf-iterations", "1000", prod}, "Chief-9\n").code, 0);
    const auto run = [&](const char *user, const char *password) {
        return admin({"sql", "--database", prod, "--user", user, "--password", password, "SELECT 1 FROM DUAL"}).code;
    };
    EXPECT_EQ(run("chief", "Chief-9"), 0);
    for (const char *user : {"chief", "clerk1", "clerk2"})
        EXPECT_NE(run(user, "nb"), 0) << user;
    ASSERT_EQ(admin({"useradd", "--database", prod, "--kdf-iterations", "1000", "clerk3"}, "c3\n").code, 0);
    EXPECT_EQ(run("clerk3", "c3"), 0);
    // an account that exists is never taken over, whatever its letter case
    for (const char *user : {"CHIEF", "clerk3"})
        EXPECT_EQ(admin({"useradd", "--database", prod, "--kdf-iterations", "1000", "--supervisor", user}, "x\n").code, 1);
    EXPECT_EQ(run("chief", "Chief-9"), 0);
    EXPECT_EQ(run("clerk3", "c3"), 0);
}

}  // namespace
