#include "app/DatabaseFile.h"

#include "data/engines/Engine.h"
#include "data/schema/Schema.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace nbk::app {

QString defaultDatabasePath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("nbk.db"));
}

bool prepareDatabase(const QString &path, bool createIfMissing, QString *error)
{
    data::setEmbeddedDatabasePath(path);
    if (!createIfMissing || QFileInfo::exists(path))
        return true;
    const QFileInfo fi(path);
    if (!QDir().mkpath(fi.absolutePath())) {
        if (error)
            *error = QStringLiteral("cannot create the folder ") + fi.absolutePath();
        return false;
    }
    data::schema::InitOptions options;
    options.demo = true;
    return data::schema::createEmbeddedDatabase(path, options, error);
}

}  // namespace nbk::app
