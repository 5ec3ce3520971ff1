#pragma once
#include "data/session/Class1.h"
#include "data/session/ResultSet.h"

#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace nbk::test {

enum class EngineKind { Embedded, Postgres };

// Embedded always; the PostgreSQL server too when NBK_TEST_PG_URI names one.
std::vector<EngineKind> availableEngines();
std::string engineName(const ::testing::TestParamInfo<EngineKind> &info);

// A fresh database on one engine, with the schema, the standing accounts (password
// "nb") and, with demo, the demonstration network.
class TestDatabase {
public:
    explicit TestDatabase(EngineKind kind, bool demo = false);
    ~TestDatabase();

    EngineKind kind() const { return kind_; }
    // What a clerk types into the Server box for this database.
    QString server() const { return server_; }
    const QString &embeddedPath() const { return path_; }

    // A new session logged in as user (fails the test when the login fails).
    std::unique_ptr<data::Class1> login(const QString &user = QStringLiteral("chief"),
                                        const QString &password = QStringLiteral("nb"));

    // Oracle SQL as the database's owner (committed at once): the rules that bind the
    // counters' sessions at commit do not bind it, so a test can lay out any state.
    void exec(const QString &oracleSql);
    void exec(std::initializer_list<const char *> oracleSql);
    data::ResultSet query(const QString &oracleSql);
    QVariant scalar(const QString &oracleSql);

    // The server's administrator URI (NBK_TEST_PG_URI), empty without a server.
    static QString adminUri();
    // The database's name on the server (empty for the embedded engine).
    const QString &databaseName() const { return databaseName_; }

private:
    void createServerDatabase(bool demo);

    EngineKind kind_;
    QTemporaryDir dir_;
    QString path_;
    QString server_;
    QString dropUri_;
    QString databaseName_;
    std::unique_ptr<data::Class1> admin_;  // the server's administrator
    class FileOwner;
    std::unique_ptr<FileOwner> owner_;  // the embedded file's owner: no account, no session rules
};

// Every database test runs once per engine: TEST_P(Suite, ...) and NBK_ALL_ENGINES(Suite).
class DbTest : public ::testing::TestWithParam<EngineKind> {
protected:
    void SetUp() override;
    void TearDown() override;
    virtual bool withDemoData() const { return false; }

    data::Class1 &session() { return *session_; }
    // Reads through the session's own connection, which sees its open transaction.
    QVariant sessionScalar(const QString &oracleSql);
    // Route 7 runs A -> B -> C -> D over segments 1 (A-B, 40 km), 2 (B-C, 60 km) and
    // 3 (C-D, 30 km); run 70 of class 2 leaves A on 5 March 2003 at 23:50 with bus R1
    // (40 seats, 40 free).
    void seedRouteABCD();
    TestDatabase &db() { return *db_; }

    std::unique_ptr<TestDatabase> db_;
    std::unique_ptr<data::Class1> session_;
};

}  // namespace nbk::test

#define NBK_ALL_ENGINES(Suite)                                                            \
    INSTANTIATE_TEST_SUITE_P(Engines, Suite,                                              \
                             ::testing::ValuesIn(::nbk::test::availableEngines()),        \
                             ::nbk::test::engineName)
