#pragma once
#include <QMap>
#include <functional>
#include <QString>
#include <QStringList>

namespace nbk::data {
class Class1;
}

namespace nbk::admin {

// The arguments of a command over one of the supervisor's lists: "--key value" pairs, each
// key among `known`, and the other arguments in their order. False: a usage error (an
// unknown key, or no --database).
bool splitOptions(const QStringList &args, const QStringList &known, QMap<QString, QString> *options,
                  QStringList *values);

// Logs in to the options' --database as --user with --password; tells why not on stderr.
bool logInWith(data::Class1 &session, const QMap<QString, QString> &options);

// Logs in as logInWith does and runs the work; a database error ends it on stderr with 1,
// and the session is closed whatever happens. 1 when the login fails.
int inSession(const QMap<QString, QString> &options, const std::function<int(data::Class1 &)> &work);

}  // namespace nbk::admin
