#include "support/TestDatabase.h"

#include "data/Engine.h"
#include "data/Schema.h"
#include "reservation/state/ReservationState.h"
#include "ui/MsgBox.h"

namespace nbk::test {

std::vector<EngineKind> availableEngines()
{
    std::vector<EngineKind> e{EngineKind::Embedded};
    if (!qEnvironmentVariableIsEmpty("NBK_TEST_PG_URI"))
        e.push_back(EngineKind::Postgres);
    return e;
}

std::string engineName(const ::testing::TestParamInfo<EngineKind> &info)
{
    return info.param == EngineKind::Embedded ? "Embedded" : "Postgres";
}

TestDatabase::TestDatabase(EngineKind kind, bool demo) : kind_(kind)
{
    if (kind == EngineKind::Embedded) {
        path_ = dir_.filePath(QStringLiteral("test.db"));
        data::schema::InitOptions o;
        o.demo = demo;
        o.kdfIterations = 1000;  // tests log in often; the cost is recorded per account
        QString error;
        if (!data::schema::createEmbeddedDatabase(path_, o, &error))
            ADD_FAILURE() << "cannot create the test database: " << error.toStdString();
        data::setEmbeddedDatabasePath(path_);
        server_.clear();
    } else {
        ADD_FAILURE() << "PostgreSQL test databases are not available yet";
    }
    admin_ = login();
}

TestDatabase::~TestDatabase()
{
    admin_.reset();
}

std::unique_ptr<data::Class1> TestDatabase::login(const QString &user, const QString &password)
{
    auto s = std::make_unique<data::Class1>();
    const bool scripted = ui::MessageScript::active();
    if (!scripted)
        ui::MessageScript::begin();
    const qint16 r = s->ConnectToDataBase(user, password, server_);
    if (!scripted)
        ui::MessageScript::end();
    EXPECT_EQ(r, 2) << "login of " << user.toStdString() << " failed";
    return s;
}

void TestDatabase::exec(const QString &oracleSql) { admin_->GetCurrentConnection().execute(oracleSql); }

data::ResultSet TestDatabase::query(const QString &oracleSql)
{
    return admin_->GetCurrentConnection().query(oracleSql);
}

QVariant TestDatabase::scalar(const QString &oracleSql)
{
    data::ResultSet rs = query(oracleSql);
    if (rs.eof())
        return QVariant();
    return rs.value(0);
}

void DbTest::SetUp()
{
    ResetReservationState();
    ui::MessageScript::begin();
    db_ = std::make_unique<TestDatabase>(GetParam(), withDemoData());
    session_ = db_->login();
    DbSession = session_.get();
    ui::MessageScript::clearShown();
}

void DbTest::TearDown()
{
    DbSession = nullptr;
    session_.reset();
    db_.reset();
    ui::MessageScript::end();
}

}  // namespace nbk::test
