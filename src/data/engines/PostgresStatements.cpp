#include "data/engines/PostgresStatements.h"

#include "data/dialect/PostgresDialect.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>
#include <libpq-fe.h>

namespace nbk::data {

namespace {
const char *const kSavepoint = "nbk_statement";
constexpr int kMaxHeldSavepoints = 32;

// One command of a pipeline and what came back for it.
struct Sent {
    enum Kind { Setup, Prepare, Statement } kind;
    PGresult *result = nullptr;
};

// The client's positional ? as PostgreSQL's $1, $2, ... (as Qt's driver numbers them),
// outside quoted texts, quoted names and comments.
QByteArray numberedPlaceholders(const QByteArray &sql)
{
    QByteArray out;
    out.reserve(sql.size() + 16);
    int n = 0;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const char ch = sql[i];
        const char next = i + 1 < sql.size() ? sql[i + 1] : '\0';
        if (ch == '\'' || ch == '"') {
            const qsizetype end = sql.indexOf(ch, i + 1);
            const qsizetype stop = end < 0 ? sql.size() - 1 : end;
            out += sql.mid(i, stop - i + 1);
            i = stop;  // a doubled quote reopens at once and is copied the same way
        } else if (ch == '-' && next == '-') {
            const qsizetype end = sql.indexOf('\n', i);
            const qsizetype stop = end < 0 ? sql.size() - 1 : end;
            out += sql.mid(i, stop - i + 1);
            i = stop;
        } else if (ch == '/' && next == '*') {
            const qsizetype end = sql.indexOf("*/", i + 2);
            const qsizetype stop = end < 0 ? sql.size() - 1 : end + 1;
            out += sql.mid(i, stop - i + 1);
            i = stop;
        } else if (ch == '?') {
            out += '$' + QByteArray::number(++n);
        } else {
            out += ch;
        }
    }
    return out;
}

QByteArray statementName(const QByteArray &text)
{
    return "nbk_" + QCryptographicHash::hash(text, QCryptographicHash::Sha1).toHex();
}

// A bound value as the text PostgreSQL reads for an untyped parameter; null stays null.
QByteArray parameterText(const QVariant &v, bool *isNull)
{
    *isNull = !v.isValid() || v.isNull();
    if (*isNull)
        return {};
    switch (v.typeId()) {
    case QMetaType::Bool:
        return v.toBool() ? "true" : "false";
    case QMetaType::Double:
    case QMetaType::Float:
        return QString::number(v.toDouble(), 'g', QLocale::FloatingPointShortest).toLatin1();
    default:
        return v.toString().toUtf8();
    }
}

// A column's text as Qt's PostgreSQL driver gives it (numeric as double, timestamps as
// local date-times, null as a null of the column's type).
QVariant columnValue(const PGresult *r, int row, int col)
{
    const Oid type = PQftype(r, col);
    const bool null = PQgetisnull(r, row, col);
    const char *text = PQgetvalue(r, row, col);
    switch (type) {
    case 16:  // bool
        return null ? QVariant(QMetaType(QMetaType::Bool)) : QVariant(text[0] == 't');
    case 21:  // int2
    case 23:  // int4
        return null ? QVariant(QMetaType(QMetaType::Int)) : QVariant(QByteArray(text).toInt());
    case 26:  // oid
        return null ? QVariant(QMetaType(QMetaType::UInt)) : QVariant(QByteArray(text).toUInt());
    case 20:  // int8
        return null ? QVariant(QMetaType(QMetaType::LongLong)) : QVariant(QByteArray(text).toLongLong());
    case 700:   // float4
    case 701:   // float8
    case 1700:  // numeric
        return null ? QVariant(QMetaType(QMetaType::Double)) : QVariant(QByteArray(text).toDouble());
    case 1082:  // date
        return null ? QVariant(QMetaType(QMetaType::QDate)) : QVariant(QDate::fromString(QString::fromLatin1(text), Qt::ISODate));
    case 1083:  // time
    case 1266:  // timetz
        return null ? QVariant(QMetaType(QMetaType::QTime)) : QVariant(QTime::fromString(QString::fromLatin1(text), Qt::ISODate));
    case 1114:  // timestamp
    case 1184:  // timestamptz
        return null ? QVariant(QMetaType(QMetaType::QDateTime))
                    : QVariant(QDateTime::fromString(QString::fromLatin1(text), Qt::ISODate));
    default:
        return null ? QVariant(QMetaType(QMetaType::QString)) : QVariant(QString::fromUtf8(text));
    }
}

DbError errorOf(const PGresult *r, PGconn *c)
{
    const QString state = r ? QString::fromLatin1(PQresultErrorField(r, PG_DIAG_SQLSTATE)) : QString();
    QString message = r ? QString::fromUtf8(PQresultErrorMessage(r)) : QString();
    if (message.isEmpty())
        message = QString::fromUtf8(PQerrorMessage(c));
    return PostgresDialect::mapError(state, message, QString());
}

QString stateOf(const PGresult *r)
{
    const char *s = r ? PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr;
    return s ? QString::fromLatin1(s) : QString();
}

bool failed(const PGresult *r)
{
    const ExecStatusType s = r ? PQresultStatus(r) : PGRES_FATAL_ERROR;
    return s != PGRES_COMMAND_OK && s != PGRES_TUPLES_OK;
}

// Sends the commands queued by `send` as one flight and collects one result per command.
// A failure the server reports after the last command, before the flight's end, is the
// implicit commit of a statement outside a transaction (a deferred check refusing it): it
// comes back in *late. False when the connection itself failed.
bool flight(PGconn *c, std::vector<Sent> &sent, PGresult **late)
{
    if (!PQpipelineSync(c))
        return false;
    for (Sent &s : sent) {
        s.result = PQgetResult(c);
        // every command's results end with a null
        while (PGresult *extra = PQgetResult(c))
            PQclear(extra);
    }
    bool synced = false;
    // an error before the sync is followed by its own null; a gone connection gives nulls
    for (int nulls = 0; !synced && nulls < 2;) {
        PGresult *r = PQgetResult(c);
        if (!r) {
            if (PQstatus(c) != CONNECTION_OK)
                break;
            ++nulls;
            continue;
        }
        if (PQresultStatus(r) == PGRES_PIPELINE_SYNC) {
            synced = true;
            PQclear(r);
        } else if (failed(r) && !*late) {
            *late = r;
        } else {
            PQclear(r);
        }
    }
    PQexitPipelineMode(c);
    return synced;
}

void clearAll(std::vector<Sent> &sent)
{
    for (Sent &s : sent)
        PQclear(s.result);
    sent.clear();
}

// "SET name = value" -> "set_config('name', 'value', false)"; empty for another text.
QString asSetConfig(const QString &set)
{
    static const QRegularExpression re(QStringLiteral("^SET\\s+(\\w+)\\s*=\\s*(.+)$"), QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = re.match(set.trimmed());
    if (!m.hasMatch())
        return {};
    QString value = m.captured(2).trimmed();
    if (value.startsWith(QLatin1Char('\'')) && value.endsWith(QLatin1Char('\'')))
        value = value.mid(1, value.size() - 2).replace(QLatin1String("''"), QLatin1String("'"));
    value.replace(QLatin1Char('\''), QLatin1String("''"));
    return QStringLiteral("set_config('%1', '%2', false)").arg(m.captured(1), value);
}
}  // namespace

void PostgresStatements::connected(PGconn *c, const QStringList &settings)
{
    prepared_.clear();
    inTransaction_ = false;
    depth_ = 0;
    QStringList calls;
    for (const QString &s : settings)
        if (const QString call = asSetConfig(s); !call.isEmpty())
            calls << call;
    settings_ = calls.isEmpty() ? QByteArray() : ("SELECT " + calls.join(QStringLiteral(", "))).toUtf8();
    pooled_ = false;
    PGresult *r = PQexec(c, "SELECT pg_backend_pid()");
    if (PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) == 1)
        pooled_ = QByteArray(PQgetvalue(r, 0, 0)).toInt() != PQbackendPID(c);
    PQclear(r);
}

StatementResult PostgresStatements::run(PGconn *c, const QString &sql, const QVariantList &params)
{
    StatementResult out;
    const QByteArray text = params.isEmpty() ? sql.toUtf8() : numberedPlaceholders(sql.toUtf8());
    const QByteArray name = params.isEmpty() ? QByteArray() : statementName(text);
    std::vector<QByteArray> values(size_t(params.size()));
    std::vector<const char *> pointers(size_t(params.size()), nullptr);
    for (int i = 0; i < params.size(); ++i) {
        bool null = false;
        values[size_t(i)] = parameterText(params[i], &null);
        pointers[size_t(i)] = null ? nullptr : values[size_t(i)].constData();
    }
    const int n = int(params.size());
    std::vector<Sent> sent;
    PGresult *statement = nullptr;
    // a name that the server connection did not know (or knew already) is settled and
    // the statement sent once more; behind a pooler the next statement may meet yet another
    // server connection, so it goes unnamed then, which every connection understands
    bool unnamed = name.isEmpty();
    for (int attempt = 0; attempt < 3; ++attempt) {
        clearAll(sent);
        if (!PQenterPipelineMode(c)) {
            out.error = errorOf(nullptr, c);
            return out;
        }
        bool queued = true;
        if (inTransaction_) {
            if (depth_ >= kMaxHeldSavepoints) {
                // releasing the first folds every later one into the transaction as well
                queued = queued && PQsendQueryParams(c, "RELEASE SAVEPOINT nbk_statement_1", 0, nullptr, nullptr, nullptr, nullptr, 0);
                sent.push_back({Sent::Setup});
                depth_ = 0;
            }
            const QByteArray sp = QByteArray("SAVEPOINT ") + kSavepoint + '_' + QByteArray::number(depth_ + 1);
            queued = queued && PQsendQueryParams(c, sp.constData(), 0, nullptr, nullptr, nullptr, nullptr, 0);
            sent.push_back({Sent::Setup});
            ++depth_;
        } else if (pooled_ && !settings_.isEmpty()) {
            queued = queued && PQsendQueryParams(c, settings_.constData(), 0, nullptr, nullptr, nullptr, nullptr, 0);
            sent.push_back({Sent::Setup});
        }
        if (unnamed) {
            queued = queued && PQsendQueryParams(c, text.constData(), n, nullptr, n ? pointers.data() : nullptr,
                                                 nullptr, nullptr, 0);
        } else {
            if (!prepared_.contains(name)) {
                queued = queued && PQsendPrepare(c, name.constData(), text.constData(), n, nullptr);
                sent.push_back({Sent::Prepare});
            }
            queued = queued && PQsendQueryPrepared(c, name.constData(), n, pointers.data(), nullptr, nullptr, 0);
        }
        sent.push_back({Sent::Statement});
        PGresult *late = nullptr;
        const bool flown = queued && flight(c, sent, &late);
        if (late) {
            out.error = errorOf(late, c);
            PQclear(late);
            clearAll(sent);
            return out;
        }
        if (!flown) {
            PQexitPipelineMode(c);
            out.error = errorOf(nullptr, c);
            clearAll(sent);
            return out;
        }
        // the first command that failed tells what happened; those after it were skipped
        const Sent *first = nullptr;
        for (const Sent &s : sent)
            if (failed(s.result)) {
                first = &s;
                break;
            }
        if (!first) {
            if (!unnamed)
                prepared_.insert(name);
            statement = sent.back().result;
            break;
        }
        const QString state = stateOf(first->result);
        const bool missing = first->kind == Sent::Statement && state == QLatin1String("26000") && !name.isEmpty();
        const bool known = first->kind == Sent::Prepare && state == QLatin1String("42P05");
        if ((missing || known) && attempt < 2) {
            if (missing)
                prepared_.remove(name);
            else
                prepared_.insert(name);
            unnamed = pooled_;
            if (inTransaction_) {
                const QByteArray back = QByteArray("ROLLBACK TO SAVEPOINT ") + kSavepoint + '_' + QByteArray::number(depth_);
                PQclear(PQexec(c, back.constData()));
            }
            continue;
        }
        out.error = errorOf(first->result, c);
        if (inTransaction_ && first->kind != Sent::Setup && PQstatus(c) == CONNECTION_OK) {
            // Oracle undoes only the failing statement
            const QByteArray back = QByteArray("ROLLBACK TO SAVEPOINT ") + kSavepoint + '_' + QByteArray::number(depth_);
            PQclear(PQexec(c, back.constData()));
        }
        clearAll(sent);
        return out;
    }
    if (!statement) {
        out.error = errorOf(nullptr, c);
        clearAll(sent);
        return out;
    }
    out.ok = true;
    if (PQresultStatus(statement) == PGRES_TUPLES_OK) {
        out.hasRows = true;
        const int cols = PQnfields(statement), rows = PQntuples(statement);
        for (int col = 0; col < cols; ++col)
            out.names << QString::fromUtf8(PQfname(statement, col));
        out.rows.reserve(size_t(rows));
        for (int row = 0; row < rows; ++row) {
            QVariantList values;
            values.reserve(cols);
            for (int col = 0; col < cols; ++col)
                values.append(columnValue(statement, row, col));
            out.rows.push_back(std::move(values));
        }
    }
    out.affected = QByteArray(PQcmdTuples(statement)).toInt();
    clearAll(sent);
    return out;
}

bool PostgresStatements::transactionStep(PGconn *c, const char *sql, bool withSettings, DbError &err)
{
    std::vector<Sent> sent;
    bool ok = PQenterPipelineMode(c) && PQsendQueryParams(c, sql, 0, nullptr, nullptr, nullptr, nullptr, 0);
    sent.push_back({Sent::Statement});
    if (ok && withSettings) {
        ok = PQsendQueryParams(c, settings_.constData(), 0, nullptr, nullptr, nullptr, nullptr, 0);
        sent.push_back({Sent::Setup});
    }
    PGresult *late = nullptr;
    ok = ok && flight(c, sent, &late);
    PQexitPipelineMode(c);
    if (late) {
        err = errorOf(late, c);
        PQclear(late);
        ok = false;
    }
    for (const Sent &s : sent)
        if (ok && failed(s.result)) {
            err = errorOf(s.result, c);
            ok = false;
        }
    if (!ok && err.description.isEmpty())
        err = errorOf(nullptr, c);
    // a COMMIT of a transaction the server had already given up answers ROLLBACK
    if (ok && !sent.empty() && qstrcmp(PQcmdStatus(sent.front().result), "ROLLBACK") == 0 && qstrcmp(sql, "COMMIT") == 0) {
        err = PostgresDialect::mapError(QStringLiteral("25P02"),
                                        QStringLiteral("the transaction was aborted and has been rolled back"), QString());
        ok = false;
    }
    clearAll(sent);
    return ok;
}

bool PostgresStatements::begin(PGconn *c, DbError &err)
{
    const bool ok = transactionStep(c, "BEGIN", pooled_ && !settings_.isEmpty(), err);
    if (ok) {
        inTransaction_ = true;
        depth_ = 0;
    }
    return ok;
}

bool PostgresStatements::commit(PGconn *c, DbError &err)
{
    const bool ok = transactionStep(c, "COMMIT", false, err);
    // committed or not, the transaction is over
    inTransaction_ = false;
    depth_ = 0;
    return ok;
}

bool PostgresStatements::rollback(PGconn *c, DbError &err)
{
    const bool ok = transactionStep(c, "ROLLBACK", false, err);
    if (ok || PQstatus(c) != CONNECTION_OK) {
        inTransaction_ = false;
        depth_ = 0;
    }
    return ok;
}

}  // namespace nbk::data
