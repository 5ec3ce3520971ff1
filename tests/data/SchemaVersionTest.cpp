// What a login and nbk-admin upgrade do with a database of another shape than this
// program's: older, newer, foreign, or with its rules broken.
#include "data/engines/PostgresEngine.h"
#include "data/schema/SchemaVersion.h"
#include "support/AdminRunner.h"
#include "support/MessageScript.h"
#include "support/TestDatabase.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

using namespace nbk;
using namespace nbk::test;
using data::schema::kCurrentVersion;

namespace {

class SchemaVersion : public ::testing::TestWithParam<EngineKind> {
protected:
    void SetUp() override { db_ = std::make_unique<TestDatabase>(GetParam(), true); }

    bool embedded() const { return GetParam() == EngineKind::Embedded; }
    // What nbk-admin upgrade is given: the file, or the owner's URI of the database.
    QString target() const
    {
        return embedded() ? db_->embeddedPath()
                          : data::PostgresUri::parse(TestDatabase::adminUri()).withDatabase(db_->databaseName());
    }
    // A login's result with the texts it showed.
    std::pair<qint16, QString> login(const QString &user)
    {
        MessageScript::begin();
        data::Class1 s;
        const qint16 r = s.ConnectToDataBase(user, QStringLiteral("nb"), db_->server());
        const QString shown = MessageScript::texts().join(QLatin1Char('\n'));
        MessageScript::end();
        return {r, shown};
    }
    QString triggerDrop() const
    {
        return embedded() ? QStringLiteral("DROP TRIGGER seat_matrix_taken")
                          : QStringLiteral("DROP TRIGGER seat_matrix_rules ON seat_matrix");
    }

    std::unique_ptr<TestDatabase> db_;
};

TEST_P(SchemaVersion, ANewDatabaseIsCurrentAndAnUpgradeFindsNothingToDo)
{
    EXPECT_EQ(db_->scalar(QStringLiteral("SELECT MAX(version) FROM nbk_schema_version")).toInt(), kCurrentVersion);
    const AdminRun r = admin({QStringLiteral("upgrade"), target()});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("nothing to do"))) << r.out.toStdString();
    auto [state, shown] = login(QStringLiteral("clerk1"));
    EXPECT_EQ(state, 2) << shown.toStdString();
}

// Each case spoils the database as an older release, a newer one or a broken repair would
// leave it; the clerk is refused with what to do, and nbk-admin upgrade mends what it can.
TEST_P(SchemaVersion, ALoginRefusesAShapeItCannotWorkOnAndSaysWhatToDo)
{
    struct Case {
        const char *name;
        QStringList spoil;
        const char *told;
        bool supervisorAdmitted;
        bool upgradeMends;
    };
    const QString newer = QString::number(kCurrentVersion + 1);
    const std::vector<Case> cases = {
        {"older", {QStringLiteral("DELETE FROM nbk_schema_version"),
                   QStringLiteral("INSERT INTO nbk_schema_version (version, applied_at) VALUES (4, 'x')")},
         "schema version 4", false, true},
        {"newer", {QStringLiteral("INSERT INTO nbk_schema_version (version, applied_at) VALUES (%1, 'x')").arg(newer)},
         "newer release", false, false},
        {"rule missing", {triggerDrop()}, "seat_matrix_", true, true},
        // (on the file the session's own set-up needs the table, so no login gets that far)
        {"not a reservation database", {QStringLiteral("DROP TABLE seat_matrix")}, "no table seat_matrix", false, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        if (embedded() && !c.upgradeMends && QLatin1String(c.name).startsWith(QLatin1String("not")))
            continue;
        db_ = std::make_unique<TestDatabase>(GetParam(), true);
        for (const QString &s : c.spoil)
            db_->exec(s);
        const int auditBefore = db_->scalar(QStringLiteral("SELECT COUNT(*) FROM nbk_audit")).toInt();
        auto [state, shown] = login(QStringLiteral("clerk1"));
        EXPECT_EQ(state, 1);
        EXPECT_TRUE(shown.contains(QLatin1String(c.told))) << shown.toStdString();
        // the login wrote nothing
        EXPECT_EQ(db_->scalar(QStringLiteral("SELECT COUNT(*) FROM nbk_audit")).toInt(), auditBefore);
        EXPECT_EQ(login(QStringLiteral("chief")).first, c.supervisorAdmitted ? 2 : 1);

        const AdminRun r = admin({QStringLiteral("upgrade"), target()});
        EXPECT_EQ(r.code == 0, c.upgradeMends) << r.err.toStdString();
        if (!c.upgradeMends) {
            EXPECT_EQ(r.err.trimmed().count(QLatin1Char('\n')), 0) << "one line: " << r.err.toStdString();
            continue;
        }
        auto [after, told] = login(QStringLiteral("clerk1"));
        EXPECT_EQ(after, 2) << told.toStdString();
        EXPECT_EQ(db_->scalar(QStringLiteral("SELECT MAX(version) FROM nbk_schema_version")).toInt(), kCurrentVersion);
    }
}

NBK_ALL_ENGINES(SchemaVersion);

// Files that are no reservation database are refused and left byte for byte as they were.
TEST(SchemaUpgradeInput, ForeignAndDamagedFilesAreRefusedUntouched)
{
    QTemporaryDir dir;
    TestDatabase good(EngineKind::Embedded, true);
    QFile in(good.embeddedPath());
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    const QByteArray whole = in.readAll();
    const QString other = dir.filePath(QStringLiteral("other.db"));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
        db.setDatabaseName(other);
        ASSERT_TRUE(db.open());
        QSqlQuery(db).exec(QStringLiteral("CREATE TABLE invoices (id INTEGER PRIMARY KEY, amount REAL)"));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("other"));
    const struct {
        const char *name;
        QByteArray bytes;  // empty: keep the file as made above
        const char *told;
    } cases[] = {
        {"text.db", "route,place\n7,Bangalore\n", "not a database"},
        {"truncated.db", whole.left(whole.size() / 3), "not"},
        {"other.db", {}, "not a reservation database"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(QLatin1String(c.name));
        if (!c.bytes.isEmpty()) {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(c.bytes);
        }
        QFile before(path);
        ASSERT_TRUE(before.open(QIODevice::ReadOnly));
        const QByteArray was = before.readAll();
        before.close();
        const AdminRun r = admin({QStringLiteral("upgrade"), path});
        EXPECT_NE(r.code, 0);
        EXPECT_TRUE(r.err.contains(QLatin1String(c.told))) << r.err.toStdString();
        QFile after(path);
        ASSERT_TRUE(after.open(QIODevice::ReadOnly));
        EXPECT_EQ(after.readAll(), was);
    }
    const AdminRun missing = admin({QStringLiteral("upgrade"), dir.filePath(QStringLiteral("none.db"))});
    EXPECT_NE(missing.code, 0);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("none.db"))));
}

}  // namespace
