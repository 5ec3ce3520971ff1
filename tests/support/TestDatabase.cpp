#include "support/TestDatabase.h"

#include "data/engines/AdminConnectionBase.h"
#include "data/engines/Engine.h"
#include "data/engines/SqliteEngine.h"
#include "data/engines/PostgresEngine.h"
#include "data/schema/PostgresSchema.h"
#include "data/schema/Schema.h"
#include "support/MessageScript.h"
#include "ui/prompt/Prompt.h"

#include <algorithm>
#include <QAtomicInt>
#include <QCryptographicHash>
#include <QSet>
#include <QCoreApplication>
#include <QDateTime>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace nbk::test {

std::vector<EngineKind> availableEngines()
{
    // Both always: the test lists are made when the tests are built, without a server.
    // The server half skips itself when NBK_TEST_PG_URI names none.
    return {EngineKind::Embedded, EngineKind::Postgres};
}

std::string engineName(const ::testing::TestParamInfo<EngineKind> &info)
{
    return info.param == EngineKind::Embedded ? "Embedded" : "Postgres";
}

// A connection to the embedded file without an account, as nbk-admin has.
class TestDatabase::FileOwner : public data::AdminConnectionBase {
public:
    explicit FileOwner(const QString &path) : AdminConnectionBase(QStringLiteral("QSQLITE"), QStringLiteral("nbk_owner_"))
    {
        QSqlDatabase db = this->db();
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=3000"));
        ok_ = db.open() && data::SqliteEngine::configure(db, &error_);
    }
    data::ResultSet run(const QString &oracleSql)
    {
        QSqlQuery q(db());
        if (!q.exec(engine_.translate(oracleSql)))
            throw data::DbException(engine_.mapError(q.lastError(), &q));
        if (!q.isSelect())
            return {};
        const QStringList names = engine_.columnNames(q);
        std::vector<QVariantList> rows;
        while (q.next())
            rows.push_back(engine_.rowValues(q, int(names.size())));
        return data::ResultSet(names, std::move(rows));
    }

private:
    data::SqliteEngine engine_;
};

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
        createServerDatabase(demo);
    }
    if (kind == EngineKind::Embedded) {
        owner_ = std::make_unique<FileOwner>(path_);
        if (!owner_->ok())
            ADD_FAILURE() << "cannot open the test database as its owner: " << owner_->error().toStdString();
    } else {
        // the test's own session may change any table, as the database's owner does
        const data::PostgresUri admin = data::PostgresUri::parse(adminUri());
        admin_ = login(admin.user, admin.password);
    }
}

QString TestDatabase::adminUri()
{
    return qEnvironmentVariable("NBK_TEST_PG_URI");
}

namespace {
QAtomicInt databaseCounter;

// Runs statements on the server as the administrator of the test cluster.
bool adminRun(const QString &uri, const QStringList &statements, QString *error)
{
    const QString name = QStringLiteral("nbk_test_admin_%1").arg(databaseCounter.fetchAndAddRelaxed(1));
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        data::DbError err;
        ok = data::openPostgres(db, data::PostgresUri::parse(uri), QString(), QString(), 10, false, err);
        if (!ok && error)
            *error = err.description;
        for (int i = 0; ok && i < statements.size(); ++i) {
            QSqlQuery q(db);
            if (!q.exec(statements[i])) {
                ok = false;
                if (error)
                    *error = q.lastError().text();
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}
// The standing login roles are cluster-wide; every test database is a copy of a template,
// and its groups (with their rights and CONNECT) are the template's: the logins join them.
bool joinTemplateGroups(const QString &uri, const QString &templateName, QString *error)
{
    namespace schema = data::schema;
    const schema::ServerGroups g = schema::serverGroupsFor(templateName);
    const QString templateUri = data::PostgresUri::parse(uri).withDatabase(templateName);
    const QString password = QLatin1String(schema::kDefaultPassword);
    QStringList logins = {QLatin1String(schema::kSupervisor)};
    for (const char *clerk : schema::kClerks)
        logins << QLatin1String(clerk);
    for (const QString &login : logins) {
        const bool supervisor = login == QLatin1String(schema::kSupervisor);
        QString ignored;
        // the first process makes the role; later ones (and other templates) only join
        if (schema::createServerRole(templateUri, login, password, supervisor, &ignored))
            continue;
        if (!adminRun(uri, {QStringLiteral("GRANT \"%1\" TO %2").arg(supervisor ? g.supervisor : g.clerk, login)},
                      error))
            return false;
    }
    return true;
}

// The schema is built once per cluster (and per version of the schema) into a template
// database; every test copies that, which takes a fraction of building it again.
QString serverTemplate(const QString &uri, bool demo, QString *error)
{
    namespace schema = data::schema;
    QStringList all = schema::postgresCompatStatements() + schema::postgresSchemaStatements()
                      + schema::postgresRulesStatements() + schema::postgresGrantStatements({"c", "s"})
                      + schema::referenceDataStatements();
    if (demo)
        all += schema::demoDataStatements();
    const QString name = QStringLiteral("nbk_template_%1%2")
                             .arg(QString::fromLatin1(
                                 QCryptographicHash::hash(all.join(QLatin1Char('\n')).toUtf8(), QCryptographicHash::Md5)
                                     .toHex()
                                     .left(16)))
                             .arg(demo ? QStringLiteral("_demo") : QString());
    // by server too: a test with a cluster of its own needs the template made there
    static QSet<QString> ready;
    if (ready.contains(uri + name))
        return name;
    const QString connection = QStringLiteral("nbk_test_template_%1").arg(databaseCounter.fetchAndAddRelaxed(1));
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connection);
        data::DbError err;
        if (!data::openPostgres(db, data::PostgresUri::parse(uri), QString(), QString(), 10, false, err)) {
            *error = err.description;
        } else {
            // one process builds it while the others wait
            QSqlQuery q(db);
            q.exec(QStringLiteral("SELECT pg_advisory_lock(hashtext('nbk test templates'))"));
            q.exec(QStringLiteral("SELECT 1 FROM pg_database WHERE datname = '%1' AND datistemplate").arg(name));
            ok = q.next();
            if (!ok) {
                // a half-built one of an interrupted run goes first
                q.exec(QStringLiteral("DROP DATABASE IF EXISTS \"%1\" WITH (FORCE)").arg(name));
                schema::InitOptions o;
                o.demo = demo;
                ok = schema::createServerDatabase(data::PostgresUri::parse(uri).withDatabase(name), o, error)
                     && q.exec(QStringLiteral("ALTER DATABASE \"%1\" IS_TEMPLATE true").arg(name));
                if (!ok && error->isEmpty())
                    *error = q.lastError().text();
            }
            // under the lock too: two sessions granting one membership at once collide
            // on the catalogue's unique key
            ok = ok && joinTemplateGroups(uri, name, error);
            q.exec(QStringLiteral("SELECT pg_advisory_unlock(hashtext('nbk test templates'))"));
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(connection);
    if (!ok)
        return QString();
    ready.insert(uri + name);
    return name;
}
}  // namespace

void TestDatabase::createServerDatabase(bool demo)
{
    const QString uri = adminUri();
    const data::PostgresUri admin = data::PostgresUri::parse(uri);
    if (!admin.valid) {
        ADD_FAILURE() << "NBK_TEST_PG_URI is not a postgresql:// URI";
        return;
    }
    databaseName_ = QStringLiteral("nbk_test_%1_%2_%3")
                        .arg(QCoreApplication::applicationPid())
                        .arg(databaseCounter.fetchAndAddRelaxed(1))
                        .arg(QRandomGenerator::global()->bounded(1000000));
    dropUri_ = uri;
    QString error;
    const QString tpl = serverTemplate(uri, demo, &error);
    if (tpl.isEmpty()) {
        ADD_FAILURE() << "cannot create the test database template: " << error.toStdString();
        return;
    }
    // copying the files is quicker than logging every block of them (PostgreSQL 15's default);
    // a copy gets the default CONNECT for everyone and no per-login settings: both are set here
    namespace schema = data::schema;
    const schema::ServerGroups groups = schema::serverGroupsFor(tpl);
    QStringList setup = schema::postgresDatabaseAccessStatements(databaseName_, groups);
    setup += schema::postgresLoginLimitStatements(QLatin1String(schema::kSupervisor), databaseName_, true);
    for (const char *clerk : schema::kClerks)
        setup += schema::postgresLoginLimitStatements(QLatin1String(clerk), databaseName_, false);
    // The standing accounts are roles of the whole cluster, shared by every test database
    // (and test program) at once: a limit of their sessions would count all of those, and
    // ALTER ROLE from two test databases at once collides. Tests of the limit make a login.
    setup.erase(std::remove_if(setup.begin(), setup.end(),
                               [](const QString &s) { return s.contains(QLatin1String(" CONNECTION LIMIT ")); }),
                setup.end());
    const QString create = QStringLiteral("CREATE DATABASE \"%1\" TEMPLATE \"%2\"").arg(databaseName_, tpl);
    if (!adminRun(uri, QStringList{create + QStringLiteral(" STRATEGY FILE_COPY")} + setup, &error)
        && !adminRun(uri, QStringList{create} + setup, &error)) {
        ADD_FAILURE() << "cannot create the test database: " << error.toStdString();
        return;
    }
    // each standing account's count of its draws, in the database itself
    QStringList counters;
    for (const char *login : {schema::kSupervisor, schema::kClerks[0], schema::kClerks[1]})
        counters += schema::postgresDrawCounterStatements(QLatin1String(login));
    if (!adminRun(data::PostgresUri::parse(uri).withDatabase(databaseName_), counters, &error)) {
        ADD_FAILURE() << "cannot make the counts of the draws: " << error.toStdString();
        return;
    }
    // what a clerk types into the Server box: no user, no password
    data::PostgresUri server = admin;
    server.user.clear();
    server.password.clear();
    server.database = databaseName_;
    server_ = server.toString();
}

TestDatabase::~TestDatabase()
{
    admin_.reset();
    owner_.reset();
    if (!databaseName_.isEmpty()) {
        QString error;
        const QString quoted = QLatin1Char('"') + databaseName_ + QLatin1Char('"');
        if (!adminRun(dropUri_,
                      {QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity "
                                      "WHERE datname = '%1' AND pid <> pg_backend_pid()")
                           .arg(databaseName_),
                       QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(quoted)},
                      &error))
            ADD_FAILURE() << "cannot drop the test database: " << error.toStdString();
    }
}

std::unique_ptr<data::Class1> TestDatabase::login(const QString &user, const QString &password)
{
    auto s = std::make_unique<data::Class1>();
    const bool scripted = test::MessageScript::active();
    if (!scripted)
        test::MessageScript::begin();
    const qint16 r = s->ConnectToDataBase(user, password, server_);
    if (!scripted)
        test::MessageScript::end();
    EXPECT_EQ(r, 2) << "login of " << user.toStdString() << " failed";
    return s;
}

void TestDatabase::exec(const QString &oracleSql)
{
    if (owner_)
        owner_->run(oracleSql);
    else
        admin_->GetCurrentConnection().execute(oracleSql);
}

data::ResultSet TestDatabase::query(const QString &oracleSql)
{
    return owner_ ? owner_->run(oracleSql) : admin_->GetCurrentConnection().query(oracleSql);
}

void TestDatabase::exec(std::initializer_list<const char *> oracleSql)
{
    for (const char *s : oracleSql)
        exec(QString::fromLatin1(s));
}

QVariant TestDatabase::scalar(const QString &oracleSql)
{
    data::ResultSet rs = query(oracleSql);
    return rs.eof() ? QVariant() : rs.value(0);
}

QVariant DbTest::sessionScalar(const QString &oracleSql)
{
    data::ResultSet rs = session().GetCurrentConnection().query(oracleSql);
    return rs.eof() ? QVariant() : rs.value(0);
}

void DbTest::seedRouteABCD()
{
    db().exec({"INSERT INTO PLACE VALUES('A', 'Aa')", "INSERT INTO PLACE VALUES('B', 'Bb')",
               "INSERT INTO PLACE VALUES('C', 'Cc')", "INSERT INTO PLACE VALUES('D', 'Dd')",
               "INSERT INTO ROUTE_ELEMENT VALUES(1, 'A', 'B', 40)", "INSERT INTO ROUTE_ELEMENT VALUES(2, 'B', 'C', 60)",
               "INSERT INTO ROUTE_ELEMENT VALUES(3, 'C', 'D', 30)",
               "INSERT INTO ROUTE VALUES( 7, 'A' , 'D', 4, 130, 1, 5, 260, NULL)", "INSERT INTO PATH_ORDER VALUES(7, 1, 1)",
               "INSERT INTO PATH_ORDER VALUES(7, 2, 2)", "INSERT INTO PATH_ORDER VALUES(7, 3, 3)",
               "INSERT INTO BUS_INFO VALUES('R1', 2, 40)",
               "INSERT INTO bus_instance values( 70, 7, TO_DATE('05-03-2003 23:50:00','DD-MM-YYYY HH24:MI:SS') , "
               "'tt' , 0 , 'R1' , 2 , 40 )"});
}

void DbTest::SetUp()
{
    test::MessageScript::begin();
    // Without a server the fixture still gets a database (the embedded one), so that the
    // set-up of derived fixtures runs; the test itself is then skipped.
    const bool noServer = GetParam() == EngineKind::Postgres && TestDatabase::adminUri().isEmpty();
    db_ = std::make_unique<TestDatabase>(noServer ? EngineKind::Embedded : GetParam(), withDemoData());
    session_ = db_->login();
    DbSession = session_.get();
    test::MessageScript::clearShown();
    if (noServer) {
        if (qEnvironmentVariable("CI") == QLatin1String("true"))
            ADD_FAILURE() << "CI runs every database test on the server too, but NBK_TEST_PG_URI is not set";
        else
            GTEST_SKIP() << "no PostgreSQL server (set NBK_TEST_PG_URI, or run scripts/run-tests.sh)";
    }
}

void DbTest::TearDown()
{
    DbSession = nullptr;
    session_.reset();
    db_.reset();
    test::MessageScript::end();
}

}  // namespace nbk::test
