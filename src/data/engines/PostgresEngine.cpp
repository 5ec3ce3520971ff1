#include "data/engines/PostgresEngine.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QUrl>
#include <libpq-fe.h>

namespace nbk::data {

namespace {

PGconn *handleOf(const QSqlDatabase &db)
{
    const QVariant v = db.driver() ? db.driver()->handle() : QVariant();
    // Qt names the type after the struct behind libpq's typedef
    if (!v.isValid() || (qstrcmp(v.typeName(), "pg_conn*") != 0 && qstrcmp(v.typeName(), "PGconn*") != 0))
        return nullptr;
    return *static_cast<PGconn *const *>(v.constData());
}

QString decode(const QString &s) { return QUrl::fromPercentEncoding(s.toUtf8()); }

// A value in libpq's key=value syntax.
QString conninfoValue(const QString &v)
{
    QString q = v;
    q.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    q.replace(QLatin1Char('\''), QLatin1String("\\'"));
    return QLatin1Char('\'') + q + QLatin1Char('\'');
}

// Why a URI parameter cannot go to libpq unchanged; empty when it can. Qt's driver turns
// every ";" of its options into a blank, and a key that is not one word would carry
// parameters of its own.
QString unusableOption(const QString &key, const QString &value)
{
    static const QRegularExpression keyword(QStringLiteral("^[a-z_][a-z0-9_]*$"));
    if (!keyword.match(key).hasMatch())
        return QStringLiteral("\"%1\" is not a connection parameter").arg(key);
    // the client names its sessions itself, so a blank there changes nothing
    if (value.contains(QLatin1Char(';')) && key != QLatin1String("application_name")
        && key != QLatin1String("fallback_application_name"))
        return QStringLiteral("a \";\" in the value of %1 cannot reach the server unchanged").arg(key);
    return QString();
}

}  // namespace

PostgresUri PostgresUri::parse(const QString &uri)
{
    PostgresUri u;
    QString rest = uri.trimmed();
    for (const char *scheme : {"postgresql://", "postgres://"}) {
        if (rest.startsWith(QLatin1String(scheme), Qt::CaseInsensitive)) {
            rest = rest.mid(int(qstrlen(scheme)));
            u.valid = true;
            break;
        }
    }
    if (!u.valid)
        return u;
    const int question = int(rest.indexOf(QLatin1Char('?')));
    if (question >= 0) {
        const QStringList pairs = rest.mid(question + 1).split(QLatin1Char('&'), Qt::SkipEmptyParts);
        for (const QString &pair : pairs) {
            const int eq = int(pair.indexOf(QLatin1Char('=')));
            const QString key = decode(eq < 0 ? pair : pair.left(eq));
            const QString value = eq < 0 ? QString() : decode(pair.mid(eq + 1));
            if (key == QLatin1String("host"))
                u.host = value;
            else if (key == QLatin1String("port"))
                u.port = value;
            else if (key == QLatin1String("dbname"))
                u.database = value;
            else if (key == QLatin1String("user"))
                u.user = value;
            else if (key == QLatin1String("password"))
                u.password = value;
            else if (!key.isEmpty())
                u.params.insert(key, value);
        }
        rest.truncate(question);
    }
    const int slash = int(rest.indexOf(QLatin1Char('/')));
    if (slash >= 0) {
        if (u.database.isEmpty())
            u.database = decode(rest.mid(slash + 1));
        rest.truncate(slash);
    }
    const int at = int(rest.lastIndexOf(QLatin1Char('@')));
    if (at >= 0) {
        const QString userinfo = rest.left(at);
        const int colon = int(userinfo.indexOf(QLatin1Char(':')));
        if (u.user.isEmpty())
            u.user = decode(colon < 0 ? userinfo : userinfo.left(colon));
        if (colon >= 0 && u.password.isEmpty())
            u.password = decode(userinfo.mid(colon + 1));
        rest = rest.mid(at + 1);
    }
    // host[:port][,host[:port]...]; IPv6 addresses in brackets
    QStringList hosts, ports;
    bool anyPort = false;
    for (const QString &hp : rest.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        QString h = hp, p;
        if (h.startsWith(QLatin1Char('['))) {
            const int close = int(h.indexOf(QLatin1Char(']')));
            p = close >= 0 && h.mid(close + 1).startsWith(QLatin1Char(':')) ? h.mid(close + 2) : QString();
            h = close >= 0 ? h.mid(1, close - 1) : h.mid(1);
        } else {
            const int colon = int(h.lastIndexOf(QLatin1Char(':')));
            if (colon >= 0) {
                p = h.mid(colon + 1);
                h.truncate(colon);
            }
        }
        hosts << decode(h);
        ports << p;
        anyPort = anyPort || !p.isEmpty();
    }
    if (u.host.isEmpty())
        u.host = hosts.join(QLatin1Char(','));
    if (u.port.isEmpty() && anyPort)
        u.port = ports.join(QLatin1Char(','));
    return u;
}

QString PostgresUri::toString() const
{
    auto enc = [](const QString &s) { return QString::fromUtf8(QUrl::toPercentEncoding(s)); };
    QString s = QStringLiteral("postgresql://");
    if (!user.isEmpty()) {
        s += enc(user);
        if (!password.isEmpty())
            s += QLatin1Char(':') + enc(password);
        s += QLatin1Char('@');
    }
    const QStringList hosts = host.split(QLatin1Char(','));
    const QStringList ports = port.split(QLatin1Char(','));
    QStringList parts;
    for (int i = 0; i < hosts.size(); ++i) {
        QString h = hosts[i].contains(QLatin1Char(':')) ? QLatin1Char('[') + hosts[i] + QLatin1Char(']')
                                                         : enc(hosts[i]);
        const QString p = ports.size() == 1 ? ports[0] : (i < ports.size() ? ports[i] : QString());
        if (!p.isEmpty())
            h += QLatin1Char(':') + p;
        parts << h;
    }
    s += parts.join(QLatin1Char(','));
    s += QLatin1Char('/') + enc(database);
    QStringList query;
    for (auto it = params.begin(); it != params.end(); ++it)
        query << enc(it.key()) + QLatin1Char('=') + enc(it.value());
    if (!query.isEmpty())
        s += QLatin1Char('?') + query.join(QLatin1Char('&'));
    return s;
}

QString PostgresUri::withDatabase(const QString &db) const
{
    PostgresUri u = *this;
    u.database = db;
    return u.toString();
}

bool openPostgres(QSqlDatabase &db, const PostgresUri &uri, const QString &user,
                  const QString &password, int timeoutSeconds, bool setup, DbError &err)
{
    if (!uri.valid) {
        err = {12154, oraText(12154, QStringLiteral("TNS:could not resolve the connect identifier specified"))};
        return false;
    }
    if (!db.isValid()) {
        err = {12541, oraText(12541, QStringLiteral("TNS:no listener (the PostgreSQL driver of Qt is missing)"))};
        return false;
    }
    // Everything goes to libpq as connection options, so that host lists, service names
    // and the like reach it as written.
    QMap<QString, QString> values = uri.params;
    if (!uri.host.isEmpty())
        values.insert(QStringLiteral("host"), uri.host);
    if (!uri.port.isEmpty())
        values.insert(QStringLiteral("port"), uri.port);
    QStringList common;
    for (auto it = values.begin(); it != values.end(); ++it) {
        if (const QString why = unusableOption(it.key(), it.value()); !why.isEmpty()) {
            err = {12154, oraText(12154, QStringLiteral("TNS:could not resolve the connect identifier specified"))
                              + QStringLiteral(" (") + why + QLatin1Char(')')};
            return false;
        }
        if (it.key() != QLatin1String("host") && it.key() != QLatin1String("port"))
            common << it.key() + QLatin1Char('=') + conninfoValue(it.value());
    }
    if (!uri.params.contains(QStringLiteral("connect_timeout")))
        common << QStringLiteral("connect_timeout=%1").arg(qMax(timeoutSeconds, 2));
    // a primary whose machine dies sends nothing more: without these a session would wait
    // on the dead socket for the system's TCP time-outs (minutes) before it learns of the
    // loss and seeks the new primary
    const std::pair<const char *, const char *> liveness[] = {
        {"keepalives", "1"}, {"keepalives_idle", "10"}, {"keepalives_interval", "3"},
        {"keepalives_count", "3"}, {"tcp_user_timeout", "20000"}};
    for (const auto &[key, value] : liveness)
        if (!uri.params.contains(QLatin1String(key)))
            common << QLatin1String(key) + QLatin1Char('=') + QLatin1String(value);
    db.setDatabaseName(uri.database);
    db.setUserName(user.isEmpty() ? uri.user : user);
    // Alone on one host, a writer's connection asks the server itself for its role: a
    // pooler repeats to each client the settings of its first server connection, so after
    // a promotion it may still say in_hot_standby, and libpq would judge the node by that.
    const QString attrs = uri.params.value(QStringLiteral("target_session_attrs"));
    const bool writer = attrs == QLatin1String("read-write") || attrs == QLatin1String("primary");
    const auto tryOpen = [&](const QString &host, const QString &port, bool probe, bool ownRoleCheck) {
        QStringList options = common;
        if (ownRoleCheck)
            options.removeIf([](const QString &o) { return o.startsWith(QLatin1String("target_session_attrs=")); });
        if (!host.isEmpty())
            options << QStringLiteral("host=") + conninfoValue(host);
        if (!port.isEmpty())
            options << QStringLiteral("port=") + conninfoValue(port);
        db.setConnectOptions(options.join(QLatin1Char(';')));
        db.setPassword(user.isEmpty() ? uri.password : password);
        const bool opened = db.open();
        // the connection is made; the clear-text password is not kept with it
        db.setPassword(QString());
        if (!opened) {
            const QSqlError e = db.lastError();
            err = connectionRefusal(e.databaseText().isEmpty() ? e.text() : e.databaseText());
            return false;
        }
        // a pooler in front of a lost server takes the login itself and fails only at the
        // first statement: where another host could answer, ask this one something first
        if (!probe)
            return true;
        QSqlQuery q(db);
        const bool asked = q.exec(ownRoleCheck ? QStringLiteral("SELECT pg_catalog.pg_is_in_recovery() OR "
                                                                "pg_catalog.current_setting('transaction_read_only') = 'on'")
                                               : QStringLiteral("SELECT 1"))
                           && q.next();
        if (asked && !(ownRoleCheck && q.value(0).toBool()))
            return true;
        const QSqlError e = q.lastError();
        err = connectionRefusal(!asked ? (e.databaseText().isEmpty() ? e.text() : e.databaseText())
                                       : QStringLiteral("session is read-only"));
        db.close();
        return false;
    };
    const QStringList hosts = uri.host.split(QLatin1Char(','));
    const bool several = hosts.size() > 1;
    bool opened = tryOpen(uri.host, uri.port, several, false);
    // libpq gives up on a host list at the first server that answers with an error (a
    // pooler in front of a lost primary says its server login fails): each host alone
    // then, as the list orders them; a wrong password stays wrong everywhere
    const QStringList ports = uri.port.split(QLatin1Char(','));
    for (int i = 0; !opened && several && err.nativeError != ora::InvalidLogon && i < hosts.size(); ++i)
        opened = tryOpen(hosts[i], ports.size() == hosts.size() ? ports[i] : uri.port, true, writer);
    if (!opened)
        return false;
    if (setup) {
        QSqlQuery q(db);
        for (const QString &s : PostgresDialect::sessionSetup()) {
            if (!q.exec(s)) {
                err = PostgresDialect::mapError(q.lastError().nativeErrorCode(), q.lastError().databaseText(), s);
                db.close();
                return false;
            }
        }
        for (const QString &s : PostgresDialect::optionalSessionSetup())
            q.exec(s);  // outside a transaction: a refusal spoils nothing
        // a database without the compatibility schema cannot answer the client's SQL
        if (!q.exec(QStringLiteral("SELECT 1 FROM pg_namespace WHERE nspname = 'oracompat'")) || !q.next()) {
            err = {ora::TableMissing, oraText(ora::TableMissing, QStringLiteral("table or view does not exist"))
                                          + QStringLiteral(" (not a reservation database: run nbk-admin init)")};
            db.close();
            return false;
        }
    }
    return true;
}

bool PostgresEngine::open(const QString &connectionName, const ConnectionString &cs, int timeoutSeconds,
                          DbError &err)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connectionName);
    // user names are not case-sensitive, as on Oracle: the roles are in lower case
    if (!openPostgres(db, PostgresUri::parse(cs.server()), cs.user().toLower(), cs.password(), timeoutSeconds, true,
                      err))
        return false;
    PGconn *c = handleOf(db);
    if (!c) {
        err = {ora::NoListener, oraText(ora::NoListener, QStringLiteral("TNS:no listener (no libpq connection)"))};
        db.close();
        return false;
    }
    statements_.connected(c, PostgresDialect::sessionSetup());
    return true;
}

QString PostgresEngine::translate(const QString &oracleSql, bool *lockNowait, std::vector<int> *paramOrder) const
{
    if (lockNowait)
        *lockNowait = false;
    return dialect_.translate(oracleSql, paramOrder);
}

DbError PostgresEngine::mapError(const QSqlError &e, const QSqlQuery *q) const
{
    const QString text = e.databaseText().isEmpty() ? e.text() : e.databaseText();
    return PostgresDialect::mapError(e.nativeErrorCode(), text, q ? q->lastQuery() : QString());
}

QVariant postgresBindValue(const QVariant &v)
{
    if (v.typeId() == QMetaType::QDateTime) {
        const QDateTime dt = v.toDateTime();
        return dt.isValid() ? QVariant(dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))) : QVariant();
    }
    if (v.typeId() == QMetaType::QDate) {
        const QDate d = v.toDate();
        return d.isValid() ? QVariant(d.toString(QStringLiteral("yyyy-MM-dd 00:00:00"))) : QVariant();
    }
    return v;
}

QVariant PostgresEngine::bindValue(const QVariant &v) const { return postgresBindValue(v); }

QStringList oracleColumnNames(const QStringList &names)
{
    QStringList out;
    out.reserve(names.size());
    for (const QString &n : names)
        out << (n == n.toLower() ? n.toUpper() : n);
    return out;
}

QStringList PostgresEngine::columnNames(const QSqlQuery &q) const
{
    return oracleColumnNames(Engine::columnNames(q));
}

namespace {
// A setting the server reports to libpq whenever it changes: no round trip.
QByteArray reported(const QSqlDatabase &db, const char *name)
{
    PGconn *c = handleOf(db);
    const char *v = c ? PQparameterStatus(c, name) : nullptr;
    return v ? QByteArray(v) : QByteArray();
}
}  // namespace

bool PostgresEngine::connectionBroken(const QSqlDatabase &db) const
{
    PGconn *c = handleOf(db);
    return !c || PQstatus(c) != CONNECTION_OK;
}

std::optional<bool> PostgresEngine::backslashEscapes(QSqlDatabase &db)
{
    const QByteArray v = reported(db, "standard_conforming_strings");
    if (v == "on")
        return false;
    if (v == "off")
        return true;
    return std::nullopt;
}

bool PostgresEngine::readOnly(QSqlDatabase &db)
{
    return reported(db, "in_hot_standby") == "on" || reported(db, "default_transaction_read_only") == "on";
}

StatementResult PostgresEngine::runStatement(QSqlDatabase &db, const QString &sql, const QVariantList &params)
{
    PGconn *c = handleOf(db);
    if (!c) {
        StatementResult r;
        r.error = PostgresDialect::mapError(QString(), QStringLiteral("no connection to the server"), QString());
        return r;
    }
    StatementResult r = statements_.run(c, sql, params);
    r.names = oracleColumnNames(r.names);
    return r;
}

namespace {
using Step = bool (PostgresStatements::*)(PGconn *, DbError &);
bool transactionStep(PostgresStatements &statements, Step step, const QSqlDatabase &db, DbError &err)
{
    err = DbError{};
    PGconn *c = handleOf(db);
    if (!c) {
        err = PostgresDialect::mapError(QString(), QStringLiteral("no connection to the server"), QString());
        return false;
    }
    return (statements.*step)(c, err);
}
}  // namespace

bool PostgresEngine::begin(QSqlDatabase &db)
{
    return transactionStep(statements_, &PostgresStatements::begin, db, transactionError_);
}

bool PostgresEngine::commit(QSqlDatabase &db)
{
    return transactionStep(statements_, &PostgresStatements::commit, db, transactionError_);
}

bool PostgresEngine::rollback(QSqlDatabase &db)
{
    return transactionStep(statements_, &PostgresStatements::rollback, db, transactionError_);
}

}  // namespace nbk::data
