#include "app/DatabaseFile.h"
#include "data/session/Class1.h"
#include "data/engines/Engine.h"
#include "support/MessageScript.h"
#include "ui/MsgBox.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace nbk;

namespace {

class DatabaseFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = data::embeddedDatabasePath();
        test::MessageScript::install();
        test::MessageScript::begin();
    }
    void TearDown() override
    {
        test::MessageScript::end();
        data::setEmbeddedDatabasePath(saved_);
    }
    QTemporaryDir dir_;
    QString saved_;
};

TEST_F(DatabaseFile, DefaultFileIsCreatedWithTheDemoNetworkOnce)
{
    const QString path = dir_.filePath(QStringLiteral("data/nbk/nbk.db"));
    QString error;
    ASSERT_TRUE(app::prepareDatabase(path, true, &error)) << error.toStdString();
    EXPECT_EQ(data::embeddedDatabasePath(), path);
    ASSERT_TRUE(QFileInfo::exists(path));

    data::Class1 s;
    ASSERT_EQ(s.ConnectToDataBase(QStringLiteral("chief"), QStringLiteral("nb"), QString()), 2);
    EXPECT_EQ(s.GetCurrentConnection().query(QStringLiteral("SELECT count(*) FROM test1")).value(0).toInt(), 10);
    ASSERT_EQ(s.exec(QStringLiteral("INSERT INTO test1 VALUES (1, 'kept')")), -13);
    s.CloseConnection();

    // a second start keeps the file and what it holds
    ASSERT_TRUE(app::prepareDatabase(path, true, &error));
    data::Class1 again;
    ASSERT_EQ(again.ConnectToDataBase(QStringLiteral("clerk1"), QStringLiteral("nb"), QString()), 2);
    EXPECT_EQ(again.GetCurrentConnection().query(QStringLiteral("SELECT count(*) FROM test1")).value(0).toInt(), 11);
}

TEST_F(DatabaseFile, NamedFileThatIsMissingIsNotCreated)
{
    const QString path = dir_.filePath(QStringLiteral("typo.db"));
    ASSERT_TRUE(app::prepareDatabase(path, false, nullptr));
    EXPECT_EQ(data::embeddedDatabasePath(), path);
    EXPECT_FALSE(QFileInfo::exists(path));
    data::Class1 s;
    EXPECT_EQ(s.ConnectToDataBase(QStringLiteral("chief"), QStringLiteral("nb"), QString()), 0);
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST(ClientCommandLine, HelpNamesTheDatabaseOptionAndUnknownOptionsFail)
{
    // the client is built beside the test programs
    QString client = qEnvironmentVariable("NBK_CLIENT");
    if (client.isEmpty())
        client = QCoreApplication::applicationDirPath() + QStringLiteral("/nbk-reservation");
    ASSERT_TRUE(QFileInfo(client).isExecutable()) << client.toStdString();
    QProcess p;
    p.start(client, {QStringLiteral("--help")});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_TRUE(p.readAllStandardOutput().contains("--database <PATH>"));

    p.start(client, {QStringLiteral("--no-such-option")});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_NE(p.exitCode(), 0);
}

}  // namespace
