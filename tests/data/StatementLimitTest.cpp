// A clerk's long statement on the file is stopped as the server stops it, so that it cannot
// hold the file's lock and stop every other counter.
#include "data/engines/SqliteEngine.h"
#include "data/schema/PostgresSchema.h"
#include "support/TestDatabase.h"

#include <QElapsedTimer>
#include <QThread>

using namespace nbk;
using namespace nbk::test;

namespace {

const char *const kEndless =
    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n) SELECT count(*) FROM n";

TEST(StatementLimit, AClerksEndlessQueryOnTheFileIsStoppedAndTheSessionGoesOn)
{
    EXPECT_EQ(QString::number(data::kClerkStatementSeconds) + QLatin1Char('s'),
              QLatin1String(data::schema::kClerkStatementTimeout));
    TestDatabase file(EngineKind::Embedded);
    auto clerk = file.login(QStringLiteral("clerk1"));
    auto chief = file.login(QStringLiteral("chief"));
    auto *engine = dynamic_cast<data::SqliteEngine *>(clerk->GetCurrentConnection().engine());
    ASSERT_NE(engine, nullptr);
    EXPECT_EQ(engine->statementLimit(), std::chrono::seconds(data::kClerkStatementSeconds));
    EXPECT_EQ(dynamic_cast<data::SqliteEngine *>(chief->GetCurrentConnection().engine())->statementLimit().count(), 0);

    engine->setStatementLimit(std::chrono::milliseconds(300));
    data::Connection &cn = clerk->GetCurrentConnection();
    QElapsedTimer t;
    t.start();
    try {
        cn.query(QLatin1String(kEndless)).getRows();
        ADD_FAILURE() << "the endless query ended";
    } catch (const data::DbException &e) {
        EXPECT_EQ(e.nativeError(), 1013) << e.what();
    }
    EXPECT_LT(t.elapsed(), 5000);
    // the same inside the clerk's own transaction: stopped, and the file free for others
    cn.beginTrans();
    EXPECT_THROW(cn.query(QLatin1String(kEndless)).getRows(), data::DbException);
    try {
        cn.rollbackTrans();
    } catch (const data::DbException &) {
    }
    EXPECT_EQ(chief->exec(QStringLiteral("UPDATE place SET full_name = full_name WHERE 1 = 0")), data::kExecOk);
    // a statement that waits idle before a commit is not what the limit is about
    cn.beginTrans();
    cn.execute(QStringLiteral("UPDATE bus_instance SET free_seats = free_seats WHERE 1 = 0"));
    QThread::msleep(400);
    EXPECT_NO_THROW(cn.commitTrans());
    EXPECT_EQ(cn.query(QStringLiteral("SELECT count(*) FROM place")).getRows().rowCount(), 1);
}

}  // namespace
