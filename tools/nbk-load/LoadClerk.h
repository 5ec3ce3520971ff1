#pragma once
#include <QString>

namespace nbk::load {

struct LoadOptions;

// On the server the sessions book as a clerk of the database, under the rules and the
// audit that bind every counter; the owner only makes the network. The login
// (DATABASE_loadclerk) is made on the first run and gets a fresh random password on every
// run, which the sessions read from their pipe. False with the reason in *error.
bool useClerkLogin(LoadOptions &o, QString *error);

}  // namespace nbk::load
