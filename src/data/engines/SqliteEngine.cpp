#include "data/engines/SqliteEngine.h"

#include "data/dialect/OracleDate.h"
#include "data/engines/PasswordHash.h"
#include "data/engines/SqliteRules.h"

#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QSqlDriver>
#include <QSqlResult>
#include <cmath>
#include <sqlite3.h>

namespace nbk::data {

namespace {

constexpr int kBusyTimeoutMs = 3000;

sqlite3 *handleOf(const QSqlDatabase &db)
{
    const QVariant v = db.driver()->handle();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(v.constData());
}

sqlite3_stmt *statementOf(const QSqlQuery &q)
{
    if (!q.result())
        return nullptr;
    const QVariant v = q.result()->handle();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3_stmt*") != 0)
        return nullptr;
    return *static_cast<sqlite3_stmt *const *>(v.constData());
}

QString textArg(sqlite3_value *v)
{
    const auto *t = reinterpret_cast<const char *>(sqlite3_value_text(v));
    return t ? QString::fromUtf8(t, sqlite3_value_bytes(v)) : QString();
}

void resultText(sqlite3_context *ctx, const QString &s)
{
    const QByteArray b = s.toUtf8();
    sqlite3_result_text(ctx, b.constData(), int(b.size()), SQLITE_TRANSIENT);
}

void resultOraError(sqlite3_context *ctx, int number, const QString &message)
{
    const QByteArray b = oraText(number, message).toUtf8();
    sqlite3_result_error(ctx, b.constData(), int(b.size()));
}

bool isNumeric(sqlite3_value *v)
{
    const int t = sqlite3_value_type(v);
    return t == SQLITE_INTEGER || t == SQLITE_FLOAT;
}

void fnToDate(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    if (isNumeric(argv[0])) {
        sqlite3_result_double(ctx, sqlite3_value_double(argv[0]));
        return;
    }
    const QString fmt = argc > 1 ? textArg(argv[1]) : QStringLiteral("YYYY-MM-DD HH24:MI:SS");
    int number = 0;
    QString message;
    const auto dt = parseOracleDate(textArg(argv[0]), fmt, &number, &message);
    if (!dt) {
        resultOraError(ctx, number, message);
        return;
    }
    sqlite3_result_double(ctx, toDayNumber(*dt));
}

void fnToChar(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    const int t = sqlite3_value_type(argv[0]);
    if (t == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    if (argc > 1 && (t == SQLITE_INTEGER || t == SQLITE_FLOAT)) {
        resultText(ctx, formatOracleDate(fromDayNumber(sqlite3_value_double(argv[0])),
                                         textArg(argv[1])));
        return;
    }
    if (t == SQLITE_FLOAT) {
        resultText(ctx, QString::number(sqlite3_value_double(argv[0]), 'g', 15));
        return;
    }
    resultText(ctx, textArg(argv[0]));
}

void fnSysdate(sqlite3_context *ctx, int, sqlite3_value **)
{
    const QDateTime now = QDateTime::currentDateTime();
    const QDateTime secs(now.date(), QTime(now.time().hour(), now.time().minute(), now.time().second()));
    sqlite3_result_double(ctx, toDayNumber(secs));
}

// A divisor of zero is Oracle's error 1476, as on the server, not a silent NULL.
void fnDivisor(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    sqlite3_value *v = argv[0];
    const int type = sqlite3_value_numeric_type(v);
    if ((type == SQLITE_INTEGER || type == SQLITE_FLOAT) && sqlite3_value_double(v) == 0.0) {
        sqlite3_result_error(ctx, "ORA-01476: divisor is equal to zero", -1);
        return;
    }
    sqlite3_result_value(ctx, v);
}

// Values handed out by this process, per database file and sequence: a rolled-back
// transaction takes its sequence update with it, and this keeps the process from
// handing the same number out again.
QMutex highWaterMutex;
QHash<QString, qint64> highWater;

void fnNextval(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    sqlite3 *db = sqlite3_context_db_handle(ctx);
    const QString name = textArg(argv[0]).toLower();
    const QString key = QString::fromUtf8(sqlite3_db_filename(db, "main")) + QLatin1Char('\n') + name;
    QMutexLocker lock(&highWaterMutex);
    const qint64 floor = highWater.value(key, 0);
    // the only writer of the sequences: a session's own statement may not touch them
    sqliterules::Owned own(db);
    const QString refused = sqliterules::countDraw(db, name);
    if (!refused.isEmpty()) {
        resultOraError(ctx, 20011, refused);
        return;
    }
    sqlite3_stmt *st = nullptr;
    const char *sql = "UPDATE nbk_sequence SET value = max(value, ?1) + increment "
                      "WHERE name = ?2 RETURNING value";
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK) {
        resultOraError(ctx, 2289, QStringLiteral("sequence does not exist"));
        return;
    }
    sqlite3_bind_int64(st, 1, floor);
    const QByteArray n = name.toUtf8();
    sqlite3_bind_text(st, 2, n.constData(), int(n.size()), SQLITE_TRANSIENT);
    const int rc = sqlite3_step(st);
    if (rc == SQLITE_ROW) {
        const qint64 v = sqlite3_column_int64(st, 0);
        sqlite3_finalize(st);
        highWater.insert(key, v);
        sqlite3_result_int64(ctx, v);
        return;
    }
    const QString err = QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_finalize(st);
    if (rc == SQLITE_DONE)
        resultOraError(ctx, 2289, QStringLiteral("sequence does not exist"));
    else if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
        sqlite3_result_error_code(ctx, rc);
    else
        resultOraError(ctx, 20000, err);
}

DbError openError(const QString &detail)
{
    return {12541, oraText(12541, QStringLiteral("TNS:no listener")) + QStringLiteral(" (") + detail
                       + QLatin1Char(')')};
}

}  // namespace

SqliteEngine::SqliteEngine()
{
    rules_.nextval = [](const QString &seq) {
        return QStringLiteral("nbk_nextval('%1')").arg(seq);
    };
    rules_.nextvalAlias = QStringLiteral("NEXTVAL");
    rules_.sysdate = QStringLiteral("nbk_sysdate()");
    rules_.realDivision = true;
    rules_.checkedDivisor = QStringLiteral("nbk_divisor");
}

bool SqliteEngine::configure(QSqlDatabase &db, QString *error)
{
    sqlite3 *h = handleOf(db);
    if (!h) {
        if (error)
            *error = QStringLiteral("no SQLite handle");
        return false;
    }
    sqliterules::install(h);
    const int flags = SQLITE_UTF8;
    sqlite3_create_function_v2(h, "to_date", 1, flags | SQLITE_DETERMINISTIC, nullptr, fnToDate, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(h, "to_date", 2, flags | SQLITE_DETERMINISTIC, nullptr, fnToDate, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(h, "to_char", 1, flags | SQLITE_DETERMINISTIC, nullptr, fnToChar, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(h, "to_char", 2, flags | SQLITE_DETERMINISTIC, nullptr, fnToChar, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(h, "nbk_divisor", 1, flags | SQLITE_DETERMINISTIC, nullptr, fnDivisor, nullptr, nullptr,
                               nullptr);
    sqlite3_create_function_v2(h, "nbk_sysdate", 0, flags, nullptr, fnSysdate, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(h, "nbk_nextval", 1, flags, nullptr, fnNextval, nullptr, nullptr, nullptr);
    QSqlQuery q(db);
    // recursive_triggers: the rows a REPLACE deletes meet the delete rules as a DELETE's do
    for (const char *pragma : {"PRAGMA journal_mode=WAL", "PRAGMA synchronous=FULL", "PRAGMA foreign_keys=ON",
                               "PRAGMA case_sensitive_like=ON", "PRAGMA recursive_triggers=ON"}) {
        if (!q.exec(QString::fromLatin1(pragma))) {
            if (error)
                *error = q.lastError().text();
            return false;
        }
    }
    return true;
}

bool SqliteEngine::open(const QString &connectionName, const ConnectionString &cs, int, DbError &err)
{
    const QString path = embeddedDatabasePath();
    if (path.isEmpty()) {
        err = openError(QStringLiteral("no embedded database configured"));
        return false;
    }
    const QFileInfo fi(path);
    if (!fi.exists() || !fi.isFile()) {
        err = openError(QStringLiteral("database file not found: ") + path);
        return false;
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs));
    if (!db.open()) {
        err = openError(db.lastError().text());
        return false;
    }
    QString problem;
    if (!configure(db, &problem)) {
        err = openError(problem);
        db.close();
        return false;
    }
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT salt, iterations, hash, username, supervisor FROM nbk_account WHERE username = ?"));
    q.addBindValue(cs.user());
    if (!q.exec()) {
        err = openError(QStringLiteral("not a reservation database: ") + q.lastError().text());
        db.close();
        return false;
    }
    bool ok = false;
    if (q.next()) {
        StoredPassword sp;
        sp.salt = q.value(0).toByteArray();
        sp.iterations = q.value(1).toInt();
        sp.hash = q.value(2).toByteArray();
        ok = verifyPassword(cs.password(), sp);
    }
    const QString account = ok ? q.value(3).toString() : QString();
    const bool supervisor = ok && q.value(4).toInt() != 0;
    q.finish();
    if (!ok) {
        err = {1017, oraText(1017, QStringLiteral("invalid username/password; logon denied"))};
        db.close();
        return false;
    }
    // from here on the session keeps to its account's rights
    if (!sqliterules::startSession(handleOf(db), account, supervisor, &problem)) {
        err = openError(problem);
        db.close();
        return false;
    }
    if (!supervisor)
        statementLimit_ = std::chrono::seconds(kClerkStatementSeconds);
    // every few thousand steps of any statement: cheap beside the steps themselves
    sqlite3_progress_handler(handleOf(db), 4000, &SqliteEngine::overTime, this);
    return true;
}

int SqliteEngine::overTime(void *engine)
{
    const auto *e = static_cast<const SqliteEngine *>(engine);
    return e->statementRunning_ && e->statementLimit_.count() > 0
           && std::chrono::steady_clock::now() - e->statementStart_ > e->statementLimit_;
}

QString SqliteEngine::translate(const QString &oracleSql, bool *lockNowait, std::vector<int> *paramOrder) const
{
    auto it = translated_.constFind(oracleSql);
    if (it == translated_.cend()) {
        // texts with their values written in are many and seldom seen twice: start afresh
        if (translated_.size() >= kMaxTranslated)
            translated_.clear();
        it = translated_.insert(oracleSql, rewriteOracleSql(oracleSql, rules_, false));
    }
    if (lockNowait)
        *lockNowait = it->forUpdateNowait;
    if (paramOrder)
        *paramOrder = it->paramOrder;
    return it->sql;
}

bool SqliteEngine::lockForUpdate(QSqlDatabase &db, DbError &err)
{
    sqlite3 *h = handleOf(db);
    if (!h || sqlite3_get_autocommit(h))
        return true;  // no transaction: nothing would hold the lock
    // The write lock of the file stands in for the row locks; NOWAIT: do not wait for it.
    sqliterules::Owned own(h);
    sqlite3_busy_timeout(h, 0);
    const int rc = sqlite3_exec(h, "UPDATE nbk_lock SET n = n", nullptr, nullptr, nullptr);
    sqlite3_busy_timeout(h, kBusyTimeoutMs);
    if (rc == SQLITE_OK)
        return true;
    if ((rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED)
        err = {ora::ResourceBusy, QString::fromLatin1(kResourceBusyText)};
    else
        err = {ora::UserDefined, oraText(ora::UserDefined, QString::fromUtf8(sqlite3_errmsg(h)))};
    return false;
}

namespace {
// Whether SQLite would write with the statement, as its compiled form says (a WITH or a
// comment before an UPDATE writes all the same). One that does not compile is no write:
// it fails the same way when it runs.
bool isWrite(sqlite3 *h, const QString &sql)
{
    // the common reads skip the second compilation: a text that begins with the word
    // SELECT is one SELECT, which only a function could make write
    const QString head = sql.left(7);
    if (head.startsWith(QLatin1String("SELECT"), Qt::CaseInsensitive) && head.size() == 7 && head[6].isSpace())
        return false;
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(h, text.constData(), int(text.size()), &st, nullptr) != SQLITE_OK || !st) {
        sqlite3_finalize(st);
        return false;
    }
    const bool write = !sqlite3_stmt_readonly(st);
    sqlite3_finalize(st);
    return write;
}
}  // namespace

// A sequence value outside a transaction: the read that a plain statement begins with
// could not be turned into the write the sequence needs once another counter has written
// (SQLite refuses at once, without waiting), so the write lock is taken first, waiting
// for it as for any other write. A session's change outside a transaction is a
// transaction of its own too, so that the rules of a commit are checked before it lands.
void SqliteEngine::statementStarting(QSqlDatabase &db, const QString &sql)
{
    ownWriteTransaction_ = false;
    checkOwnTransaction_ = false;
    statementStart_ = std::chrono::steady_clock::now();
    statementRunning_ = true;
    sqlite3 *h = handleOf(db);
    if (!h || !sqlite3_get_autocommit(h))
        return;
    const bool write = sqliterules::isSession(h) && isWrite(h, sql);
    if (!write && !sql.contains(QLatin1String("nbk_nextval(")))
        return;
    sqliterules::Owned own(h);
    ownWriteTransaction_ = sqlite3_exec(h, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK;
    checkOwnTransaction_ = ownWriteTransaction_ && write;
}

void SqliteEngine::statementFinished(QSqlDatabase &db, bool ok)
{
    statementRunning_ = false;
    if (!ownWriteTransaction_ || (ok && checkOwnTransaction_))
        return;  // a checked one ends in statementCompleted
    ownWriteTransaction_ = false;
    if (sqlite3 *h = handleOf(db)) {
        sqliterules::Owned own(h);
        sqlite3_exec(h, ok ? "COMMIT" : "ROLLBACK", nullptr, nullptr, nullptr);
        if (!ok)
            sqliterules::forgetTouched(h);
    }
}

bool SqliteEngine::statementCompleted(QSqlDatabase &db, DbError &err)
{
    if (!ownWriteTransaction_ || !checkOwnTransaction_)
        return true;
    ownWriteTransaction_ = checkOwnTransaction_ = false;
    sqlite3 *h = handleOf(db);
    if (!h)
        return true;
    sqliterules::Owned own(h);
    if (!sqliterules::checkTouched(h, err)) {
        sqlite3_exec(h, "ROLLBACK", nullptr, nullptr, nullptr);
        sqliterules::forgetTouched(h);
        return false;
    }
    if (sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
        err = {ora::UserDefined, oraText(ora::UserDefined, QString::fromUtf8(sqlite3_errmsg(h)))};
        sqlite3_exec(h, "ROLLBACK", nullptr, nullptr, nullptr);
        return false;
    }
    return true;
}

bool SqliteEngine::checkBeforeCommit(QSqlDatabase &db, DbError &err)
{
    statementRunning_ = false;
    sqlite3 *h = handleOf(db);
    return !h || sqliterules::checkTouched(h, err);
}

bool SqliteEngine::begin(QSqlDatabase &db)
{
    sqliterules::Owned own(handleOf(db));
    return db.transaction();
}

bool SqliteEngine::commit(QSqlDatabase &db)
{
    sqliterules::Owned own(handleOf(db));
    return db.commit();
}

QString SqliteEngine::withParameters(const QString &sql, QVariantList &values)
{
    // the reads are most statements: their first word tells without reading them whole
    const QStringView head = QStringView(sql).trimmed();
    const auto begins = [&](const char *word) { return head.startsWith(QLatin1String(word), Qt::CaseInsensitive); };
    if (!begins("INSERT") && !begins("UPDATE") && !begins("DELETE") && !begins("--") && !begins("/*"))
        return QString();
    const std::vector<SqlToken> t = tokenizeSql(sql);
    auto first = t.cbegin();
    while (first != t.cend() && (first->kind == SqlToken::Space || first->kind == SqlToken::Comment))
        ++first;
    if (first == t.cend() || !(first->isWord("INSERT") || first->isWord("UPDATE") || first->isWord("DELETE")))
        return QString();
    QString out;
    out.reserve(sql.size());
    QVariantList found;
    const SqlToken *previous = nullptr;  // the last word or symbol
    for (const SqlToken &tok : t) {
        switch (tok.kind) {
        case SqlToken::Param:
            return QString();
        case SqlToken::Word:
            if (tok.isWord("BY"))
                return QString();
            out += tok.text;
            previous = &tok;
            break;
        case SqlToken::Number: {
            bool whole = false;
            const qlonglong n = tok.text.toLongLong(&whole);
            // a decimal keeps the engine's own reading of it; a number after a name's dot
            // or a word (a type's size) stays where it is
            if (!whole || (previous && previous->kind == SqlToken::Word && !previous->isWord("VALUES")
                           && !previous->isWord("AND") && !previous->isWord("OR") && !previous->isWord("THEN")
                           && !previous->isWord("ELSE") && !previous->isWord("WHEN") && !previous->isWord("IS")
                           && !previous->isWord("NOT") && !previous->isWord("IN") && !previous->isWord("LIKE")
                           && !previous->isWord("BETWEEN") && !previous->isWord("LIMIT") && !previous->isWord("SELECT"))) {
                out += tok.text;
            } else {
                out += QLatin1Char('?');
                found.append(n);
            }
            previous = &tok;
            break;
        }
        case SqlToken::String:
            // an empty text stays written: a bound empty string could arrive as NULL
            if (!tok.text.startsWith(QLatin1Char('\'')) || tok.text.size() < 3 || !tok.text.endsWith(QLatin1Char('\''))) {
                out += tok.text;
            } else {
                out += QLatin1Char('?');
                QString value = tok.text.mid(1, tok.text.size() - 2);
                value.replace(QLatin1String("''"), QLatin1String("'"));
                found.append(value);
            }
            previous = &tok;
            break;
        case SqlToken::Symbol:
        case SqlToken::QuotedName:
            out += tok.text;
            previous = &tok;
            break;
        default:
            out += tok.text;
            break;
        }
    }
    if (found.isEmpty())
        return QString();
    values = std::move(found);
    return out;
}

void SqliteEngine::closing(QSqlDatabase &db)
{
    if (sqlite3 *h = handleOf(db))
        sqliterules::release(h);
}

bool SqliteEngine::rollback(QSqlDatabase &db)
{
    sqlite3 *h = handleOf(db);
    sqliterules::Owned own(h);
    const bool ok = db.rollback();
    if (h)
        sqliterules::forgetTouched(h);
    return ok;
}

QVariant SqliteEngine::bindValue(const QVariant &v) const
{
    if (v.typeId() == QMetaType::QDateTime)
        return toDayNumber(v.toDateTime());
    if (v.typeId() == QMetaType::QDate)
        return toDayNumber(QDateTime(v.toDate(), QTime(0, 0)));
    return v;
}

DbError SqliteEngine::mapError(const QSqlError &e, const QSqlQuery *q) const
{
    const int code = e.nativeErrorCode().toInt();
    const QString text = e.databaseText().isEmpty() ? e.text() : e.databaseText();
    auto with = [&](int n, const QString &oracle) {
        return DbError{n, oraText(n, oracle) + QStringLiteral(" (") + text + QLatin1Char(')'),
                       e.nativeErrorCode()};
    };
    const int primary = code & 0xff;
    if (primary == SQLITE_INTERRUPT)  // the statement ran past its limit, as on the server
        return with(1013, QStringLiteral("user requested cancel of current operation"));
    if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED)
        return {ora::ResourceBusy, QString::fromLatin1(kResourceBusyText), e.nativeErrorCode()};
    if (const int ora = oraNumberIn(text))
        return {ora, text, e.nativeErrorCode()};
    switch (code) {
    case SQLITE_CONSTRAINT_UNIQUE:
    case SQLITE_CONSTRAINT_PRIMARYKEY:
        return with(ora::UniqueViolated, QStringLiteral("unique constraint violated"));
    case SQLITE_CONSTRAINT_NOTNULL:
        return with(ora::CannotInsertNull, QStringLiteral("cannot insert NULL"));
    case SQLITE_CONSTRAINT_FOREIGNKEY:
        if (q && q->lastQuery().trimmed().startsWith(QLatin1String("DELETE"), Qt::CaseInsensitive))
            return with(ora::ChildRecordFound, QStringLiteral("integrity constraint violated - child record found"));
        return with(ora::ParentKeyNotFound, QStringLiteral("integrity constraint violated - parent key not found"));
    case SQLITE_CONSTRAINT_CHECK:
        return with(2290, QStringLiteral("check constraint violated"));
    case SQLITE_CONSTRAINT_TRIGGER:
        return with(ora::UserDefined, QStringLiteral("refused by a database rule"));
    case SQLITE_MISMATCH:
        return with(ora::InvalidNumber, QStringLiteral("invalid number"));
    case SQLITE_READONLY:
    case SQLITE_AUTH:  // the session's authorizer
        return with(1031, QStringLiteral("insufficient privileges"));
    case SQLITE_FULL:
        return with(1653, QStringLiteral("unable to extend table"));
    default:
        break;
    }
    if (text.contains(QLatin1String("no such table")) || text.contains(QLatin1String("no such view")))
        return with(ora::TableMissing, QStringLiteral("table or view does not exist"));
    if (text.contains(QLatin1String("no such column")) || text.contains(QLatin1String("no such function")))
        return with(ora::InvalidIdentifier, QStringLiteral("invalid identifier"));
    if (text.contains(QLatin1String("values for")) && text.contains(QLatin1String("columns")))
        return with(913, QStringLiteral("too many values"));
    if (primary == SQLITE_CONSTRAINT)
        return with(ora::UserDefined, QStringLiteral("refused by a database rule"));
    return with(ora::InvalidSql, QStringLiteral("invalid SQL statement"));
}

QStringList SqliteEngine::columnNames(const QSqlQuery &q) const
{
    const QStringList names = Engine::columnNames(q);
    dateColumns_.assign(size_t(names.size()), false);
    if (sqlite3_stmt *st = statementOf(q)) {
        for (int i = 0; i < names.size(); ++i) {
            const char *decl = sqlite3_column_decltype(st, i);
            dateColumns_[size_t(i)] = decl && qstricmp(decl, "DATE") == 0;
        }
    }
    return names;
}

QVariantList SqliteEngine::rowValues(const QSqlQuery &q, int columns) const
{
    QVariantList row;
    row.reserve(columns);
    for (int i = 0; i < columns; ++i) {
        QVariant v = q.value(i);
        if (size_t(i) < dateColumns_.size() && dateColumns_[size_t(i)] && !v.isNull()) {
            bool ok = false;
            const double d = v.toDouble(&ok);
            if (ok)
                v = fromDayNumber(d);
        }
        row.append(v);
    }
    return row;
}

}  // namespace nbk::data
