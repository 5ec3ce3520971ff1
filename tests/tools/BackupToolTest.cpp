// nbk-admin backup and restore of the embedded file: a consistent copy while counters book,
// refusals that change nothing, files only their owner reads.
#include "data/session/Audit.h"
#include "data/schema/Backup.h"
#include "data/engines/Engine.h"
#include "data/engines/SqliteEngine.h"
#include "data/session/Transaction.h"
#include "support/AdminRunner.h"
#include "support/FileChecks.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>

using namespace nbk;
using namespace nbk::test;

namespace {

// A raw connection to the file, as its owner (no account, no session rules).
class RawFile {
public:
    explicit RawFile(const QString &path, bool asTheProgram = true) : name_(QStringLiteral("raw_%1").arg(quintptr(this)))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        EXPECT_TRUE(db.open() && (!asTheProgram || data::SqliteEngine::configure(db, nullptr)));
    }
    ~RawFile()
    {
        QSqlDatabase::database(name_).close();
        QSqlDatabase::removeDatabase(name_);
    }
    QVariant scalar(const QString &sql)
    {
        QSqlQuery q(QSqlDatabase::database(name_));
        EXPECT_TRUE(q.exec(sql)) << sql.toStdString();
        return q.next() ? q.value(0) : QVariant();
    }
    QSet<int> ids(const QString &sql)
    {
        QSet<int> out;
        QSqlQuery q(QSqlDatabase::database(name_));
        EXPECT_TRUE(q.exec(sql));
        while (q.next())
            out.insert(q.value(0).toInt());
        return out;
    }

private:
    QString name_;
};

class EmbeddedBackup : public ::testing::Test {
protected:
    void SetUp() override
    {
        db = std::make_unique<TestDatabase>(EngineKind::Embedded);
        seedRoute();
        clerk = db->login(QStringLiteral("clerk1"));
    }
    void seedRoute()
    {
        db->exec({"INSERT INTO PLACE VALUES('A', 'Aa')", "INSERT INTO PLACE VALUES('B', 'Bb')",
                  "INSERT INTO PLACE VALUES('C', 'Cc')", "INSERT INTO ROUTE_ELEMENT VALUES(1, 'A', 'B', 40)",
                  "INSERT INTO ROUTE_ELEMENT VALUES(2, 'B', 'C', 60)",
                  "INSERT INTO ROUTE VALUES( 7, 'A' , 'C', 3, 100, 1, 5, 200, NULL)", "INSERT INTO PATH_ORDER VALUES(7, 1, 1)",
                  "INSERT INTO PATH_ORDER VALUES(7, 2, 2)", "INSERT INTO BUS_INFO VALUES('R1', 2, 40)",
                  "INSERT INTO bus_instance values( 70, 7, TO_DATE('05-03-2003 23:50:00','DD-MM-YYYY HH24:MI:SS') , "
                  "'tt' , 0 , 'R1' , 2 , 40 )"});
        data::ResultSet f = db->query("SELECT f.multiplier, ct.multiplier, ct.base FROM fuel_index f, class_type ct "
                                      "WHERE f.fpi = 1 AND ct.class = 2");
        seatFare = data::seatFare(40, f.value(0).toDouble(), f.value(1).toDouble(), f.value(2).toDouble());
    }
    // A clerk's one-seat booking on the first segment, committed under the session's rules.
    void book(int customer, int seat) { book(*clerk, customer, seat); }
    void book(data::Class1 &session, int customer, int seat)
    {
        data::Transaction tx(session, QStringLiteral("the test's booking"));
        const QStringList sql = {
            QStringLiteral("Insert INTO Customer values ( %1,-1,SYSDATE,'**TEMP**',-1,-1,'x','Unkn','Unkn',0)").arg(customer),
            QStringLiteral(" INSERT INTO seat_matrix VALUES( 70 , %1 ,1 , 1 , %2, 'r' )").arg(seat).arg(customer),
            QStringLiteral("UPDATE BUS_INSTANCE set free_seats=free_seats-1 Where instance_id=70"),
            QStringLiteral("UPDATE Customer set Instance_ID =70, Name = 'Ravi' , age=30, phone='1', gender='M' , "
                           "origin='A' , destin='B', fare=%1, Journey_date=(SELECT dep_date FROM bus_instance WHERE "
                           "instance_id = 70) where customer_ID = %2")
                .arg(seatFare)
                .arg(customer)};
        for (const QString &q : sql)
            ASSERT_EQ(session.exec(q), -13) << q.toStdString() << ": " << session.LastExecError().toStdString();
        tx.commit();
    }
    // Old passengers without seats: pages enough for a copy of many steps.
    void pad(int customers)
    {
        RawFile raw(db->embeddedPath());
        raw.scalar(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                                  "INSERT INTO customer (customer_id, instance_id, name, fare) "
                                  "SELECT 100000 + i, 70, 'Old passenger ' || i, 0 FROM n")
                       .arg(customers));
    }
    QString path(const char *name) const { return dir.filePath(QLatin1String(name)); }
    // Files of the folder: a refusal leaves none behind.
    QStringList files() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }

    QTemporaryDir dir;
    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<data::Class1> clerk;
    int seatFare = 0;
};

// The copy is the database as the backup began: bookings committed between its steps go on
// (nothing waits for the backup) and stay out of the copy, every earlier one is in it.
TEST_F(EmbeddedBackup, CopiesTheSnapshotAsItBeganWhileAClerkBooksBetweenSteps)
{
    pad(20000);
    for (int c = 1; c <= 5; ++c)
        book(c, c);
    data::backup::EmbeddedOptions o;
    o.pagesPerStep = 16;
    int steps = 0, bookedDuring = 0;
    o.afterStep = [&](int remaining, int) {
        ++steps;
        // a clerk books while the copy is half made
        if (remaining > 0 && bookedDuring < 20) {
            ++bookedDuring;
            book(100 + bookedDuring, 10 + bookedDuring);
        }
    };
    QString error;
    ASSERT_TRUE(data::backup::backupEmbedded(db->embeddedPath(), path("copy.db"), o, &error)) << error.toStdString();
    EXPECT_GT(steps, 20) << "the copy should take many steps";
    EXPECT_EQ(bookedDuring, 20);
    EXPECT_EQ(files(), QStringList{"copy.db"}) << "one file, nothing beside it";

    RawFile live(db->embeddedPath()), copy(path("copy.db"));
    EXPECT_EQ(copy.scalar("PRAGMA integrity_check").toString(), "ok");
    EXPECT_EQ(copy.ids("SELECT customer_id FROM customer WHERE customer_id < 100000"), QSet<int>({1, 2, 3, 4, 5}));
    EXPECT_EQ(live.scalar("SELECT count(*) FROM customer WHERE customer_id BETWEEN 101 AND 120").toInt(), 20);
    EXPECT_EQ(copy.scalar("SELECT free_seats FROM bus_instance WHERE instance_id = 70").toInt(), 35);
    EXPECT_EQ(copy.scalar("SELECT count(*) FROM customer").toInt(), 20005);
    EXPECT_EQ(modeOf(path("copy.db")), 0600);
}

// A restored file is a working database: a clerk logs in and books, the audit finds nothing.
TEST_F(EmbeddedBackup, RestoredCopyLogsInAndBooks)
{
    book(1, 1);
    ASSERT_EQ(admin({"backup", db->embeddedPath(), path("copy.db")}).code, 0);
    const AdminRun r = admin({"restore", path("copy.db"), path("restored.db")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(modeOf(path("restored.db")), 0600);
    data::setEmbeddedDatabasePath(path("restored.db"));
    data::Class1 s;
    ASSERT_EQ(s.ConnectToDataBase(QStringLiteral("clerk1"), QStringLiteral("nb"), QString()), 2);
    book(s, 2, 2);
    EXPECT_TRUE(data::auditDatabase(s.GetCurrentConnection()).clean());
    RawFile restored(path("restored.db"));
    EXPECT_EQ(restored.ids("SELECT customer_id FROM customer"), QSet<int>({1, 2}));
    // the -wal and -shm files SQLite made take the database file's mode
    for (const char *suffix : {"-wal", "-shm"})
        if (QFile::exists(path("restored.db") + suffix)) {
            EXPECT_EQ(modeOf(path("restored.db") + suffix), 0600) << suffix;
        }
    data::setEmbeddedDatabasePath(db->embeddedPath());
}

TEST_F(EmbeddedBackup, InitAndTheFilesBesideItAreTheOwnersOnly)
{
    const QString made = path("made.db");
    ASSERT_EQ(admin({"init", "--demo", "--kdf-iterations", "1000", made}).code, 0);
    EXPECT_EQ(modeOf(made), 0600);
    // a session open keeps the -wal and -shm files in place
    RawFile open(made);
    open.scalar("INSERT INTO test1 VALUES (1, 'x')");
    for (const char *suffix : {"-wal", "-shm"}) {
        ASSERT_TRUE(QFile::exists(made + suffix)) << suffix;
        EXPECT_EQ(modeOf(made + suffix), 0600) << suffix;
    }
}

// Every refusal: one line saying what to do, a non-zero exit, the target untouched and no
// file left behind.
TEST_F(EmbeddedBackup, BadInputIsRefusedWithNothingChanged)
{
    book(1, 1);
    ASSERT_EQ(admin({"backup", db->embeddedPath(), path("good.db")}).code, 0);
    QFile good(path("good.db"));
    ASSERT_TRUE(good.open(QIODevice::ReadOnly));
    const QByteArray bytes = good.readAll();
    auto write = [&](const char *name, const QByteArray &content) {
        QFile f(path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    };
    write("foreign.txt", "just some notes\n");
    write("truncated.db", bytes.left(bytes.size() / 2));
    QByteArray corrupt = bytes;
    // scribble over the pages after the schema's first: the b-trees no longer hold together
    for (qsizetype i = 4096 * 2; i < corrupt.size(); i += 7)
        corrupt[i] = char(0x5a);
    write("corrupt.db", corrupt);
    {
        RawFile other(path("other.db"), false);
        other.scalar("CREATE TABLE invoices (id integer)");
    }
    write("empty.db", QByteArray());
    write("server.nbk", "NBK-RESERVATION-BACKUP 1 postgresql nbk-admin schema 5\n");
    write("a-file", "x");
    const QByteArray liveBefore = [&] {
        QFile f(db->embeddedPath());
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();

    struct Case {
        QStringList args;
        const char *says;
        const char *mustNotExist;
    };
    const QString live = db->embeddedPath();
    const std::vector<Case> cases = {
        {{"restore", path("foreign.txt"), path("t1.db")}, "not a backup", "t1.db"},
        {{"restore", path("truncated.db"), path("t2.db")}, "damaged", "t2.db"},
        {{"restore", path("corrupt.db"), path("t3.db")}, "damaged", "t3.db"},
        {{"restore", path("other.db"), path("t4.db")}, "another program", "t4.db"},
        {{"restore", path("server.nbk"), path("t5.db")}, "postgresql://", "t5.db"},
        {{"restore", path("missing.db"), path("t6.db")}, "does not exist", "t6.db"},
        {{"restore", path("good.db"), live}, "holds data", nullptr},
        {{"restore", path("good.db"), path("a-file") + "/t7.db"}, "", nullptr},
        {{"backup", path("other.db"), path("t8.db")}, "another program", "t8.db"},
        {{"backup", path("foreign.txt"), path("t9.db")}, "not an embedded database", "t9.db"},
        {{"backup", live, path("good.db")}, "exists already", nullptr},
        {{"backup", live, path("a-file") + "/t10.db"}, "folder", nullptr},
        {{"backup", live, path("no-such-dir") + "/t11.db"}, "folder does not exist", nullptr},
    };
    const QStringList before = files();
    for (const Case &c : cases) {
        const AdminRun r = admin(c.args);
        const std::string what = c.args.join(' ').toStdString();
        EXPECT_EQ(r.code, 1) << what;
        EXPECT_EQ(r.err.count('\n'), 1) << what << ": " << r.err.toStdString();
        EXPECT_TRUE(r.err.startsWith("nbk-admin: ")) << what;
        EXPECT_TRUE(r.err.contains(QLatin1String(c.says))) << what << ": " << r.err.toStdString();
        if (c.mustNotExist) {
            EXPECT_FALSE(QFile::exists(path(c.mustNotExist))) << what;
        }
        EXPECT_EQ(files().join(' ').toStdString(), before.join(' ').toStdString()) << what;
    }
    QFile after(live);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), liveBefore);
    EXPECT_EQ(good.size(), bytes.size());
    // an empty file takes the restore
    const AdminRun onEmpty = admin({"restore", path("good.db"), path("empty.db")});
    EXPECT_EQ(onEmpty.code, 0) << onEmpty.err.toStdString();
    EXPECT_EQ(RawFile(path("empty.db")).scalar("SELECT count(*) FROM customer").toInt(), 1);
}

TEST_F(EmbeddedBackup, AFullDiskLeavesNoFileUnderEitherName)
{
    pad(20000);
    ASSERT_EQ(admin({"backup", db->embeddedPath(), path("good.db")}).code, 0);
    const QStringList before = files();
    for (const QStringList &args : {QStringList{"backup", db->embeddedPath(), path("full.db")},
                                    QStringList{"restore", path("good.db"), path("full.db")}}) {
        const AdminRun r = adminOnFullDisk(args, 256 * 1024);
        EXPECT_EQ(r.code, 1) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains("the disk is full")) << r.err.toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
        EXPECT_EQ(files().join(' ').toStdString(), before.join(' ').toStdString()) << args.join(' ').toStdString();
    }
}

// Another process books through the client's own procedures (nbk-load) while nbk-admin
// copies the file: whatever was committed before the backup started is in the copy, and
// the copy holds together (integrity, seats against counters).
TEST_F(EmbeddedBackup, BackupWhileNbkLoadBooks)
{
    // nbk-load makes its own network in a database without one
    clerk.reset();
    db = std::make_unique<TestDatabase>(EngineKind::Embedded);
    auto load = [&](QProcess &p, const QStringList &args) {
        p.start(QStringLiteral(NBK_LOAD_PATH),
                QStringList{"--database", db->embeddedPath(), "--user", "chief", "--headless"} + args);
        // the password reaches it now, not when an event loop next runs
        p.waitForStarted();
        p.write("nb\n");
        p.waitForBytesWritten();
        p.closeWriteChannel();
    };
    QProcess make;
    load(make, {"--sessions", "1", "--seconds", "1"});
    ASSERT_TRUE(make.waitForFinished(180000));
    ASSERT_EQ(make.exitCode(), 0) << make.readAllStandardError().toStdString();

    QProcess counters;
    // nobody reads its output while the test polls: a full pipe would stop the counters
    counters.setStandardOutputFile(QProcess::nullDevice());
    counters.setStandardErrorFile(QProcess::nullDevice());
    // no cancellations: every booking committed stays
    load(counters, {"--sessions", "2", "--seconds", "600", "--mix", "book=80,enquire=20,cancel=0"});
    RawFile live(db->embeddedPath());
    const int start = live.scalar("SELECT count(*) FROM customer").toInt();
    QElapsedTimer t;
    t.start();
    // wait until the counters book (polled; the limit only ends a test that cannot pass)
    while (live.scalar("SELECT count(*) FROM customer").toInt() < start + 10 && t.elapsed() < 120000)
        QThread::msleep(50);
    const QSet<int> committed = live.ids("SELECT customer_id FROM customer WHERE name <> '**TEMP**'");
    ASSERT_GE(committed.size(), start + 10);
    const AdminRun r = admin({"backup", db->embeddedPath(), path("busy.db")});
    const int after = live.scalar("SELECT count(*) FROM customer").toInt();
    counters.kill();
    counters.waitForFinished(30000);
    ASSERT_EQ(r.code, 0) << r.err.toStdString();

    RawFile copy(path("busy.db"));
    EXPECT_EQ(copy.scalar("PRAGMA integrity_check").toString(), "ok");
    const QSet<int> inCopy = copy.ids("SELECT customer_id FROM customer");
    EXPECT_TRUE(inCopy.contains(committed)) << committed.size() << " committed, " << inCopy.size() << " copied";
    EXPECT_GT(after, start) << "the counters booked";
    ASSERT_EQ(admin({"restore", path("busy.db"), path("busy-restored.db")}).code, 0);
    data::setEmbeddedDatabasePath(path("busy-restored.db"));
    data::Class1 s;
    ASSERT_EQ(s.ConnectToDataBase(QStringLiteral("chief"), QStringLiteral("nb"), QString()), 2);
    const data::AuditFigures a = data::auditDatabase(s.GetCurrentConnection());
    EXPECT_TRUE(a.clean()) << a.summary().toStdString();
    data::setEmbeddedDatabasePath(db->embeddedPath());
}

}  // namespace
