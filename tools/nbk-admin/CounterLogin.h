#pragma once
#include <QString>

namespace nbk::data {
class Class1;
}

namespace nbk::admin {

// Logs in exactly as the counter's login dialog does (the same connection string, driver
// order and refusals), pressing Login again while another driver is left to try. A
// DATABASE argument that is not a postgresql:// URI names an embedded file.
bool counterLogin(data::Class1 &session, const QString &database, const QString &user, const QString &password);

}  // namespace nbk::admin
