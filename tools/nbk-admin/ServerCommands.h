#pragma once
#include "data/schema/Schema.h"

#include <QString>
#include <QStringList>

namespace nbk::admin {

// The central server's side of nbk-admin.
bool initServer(const QString &uri, const data::schema::InitOptions &options, QString *error);
bool setServerPassword(const QString &uri, const QString &user, const QString &password, QString *error);
// The URI as it may be shown: without its password.
QString withoutPassword(const QString &uri);
// Commands only a server has (useradd); 2 with the usage for an unknown command.
int runServerCommand(const QString &command, const QStringList &args);

}  // namespace nbk::admin
