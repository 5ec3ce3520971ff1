#include "data/engines/Engine.h"

#include "data/engines/OdbcEngine.h"
#include "data/engines/PostgresEngine.h"
#include "data/engines/SqliteEngine.h"

#include <QMutex>
#include <QSqlRecord>

namespace nbk::data {

QStringList Engine::columnNames(const QSqlQuery &q) const
{
    const QSqlRecord rec = q.record();
    QStringList names;
    names.reserve(rec.count());
    for (int i = 0; i < rec.count(); ++i)
        names.append(rec.fieldName(i));
    return names;
}

QVariantList Engine::rowValues(const QSqlQuery &q, int columns) const
{
    QVariantList row;
    row.reserve(columns);
    for (int i = 0; i < columns; ++i)
        row.append(q.value(i));
    return row;
}

bool isPostgresUri(const QString &server)
{
    return server.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive)
           || server.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

std::unique_ptr<Engine> engineForServer(const QString &server)
{
    if (server.isEmpty())
        return std::make_unique<SqliteEngine>();
    if (isPostgresUri(server))
        return std::make_unique<PostgresEngine>();
    return std::make_unique<OdbcEngine>();
}

namespace {
QMutex pathMutex;
QString embeddedPath;
}  // namespace

void setEmbeddedDatabasePath(const QString &path)
{
    QMutexLocker lock(&pathMutex);
    embeddedPath = path;
}

QString embeddedDatabasePath()
{
    QMutexLocker lock(&pathMutex);
    return embeddedPath;
}

}  // namespace nbk::data
