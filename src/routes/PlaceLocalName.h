#pragma once
#include <QString>

namespace nbk::data {
class Connection;
}

namespace nbk::routes {

// Gives the place `code` its Kannada name, printed beside the English one on tickets and
// manifests, in place of any it had; an empty name takes the name away. Runs inside the
// caller's transaction. A code that is no place is refused by the table's key; failures
// raise DbException.
void setPlaceLocalName(data::Connection &cn, const QString &code, const QString &name);

}  // namespace nbk::routes
