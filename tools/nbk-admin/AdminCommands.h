#pragma once
#include <QStringList>

namespace nbk::admin {

// Runs one nbk-admin command line (without the program name); returns the exit code.
int run(const QStringList &args);

}  // namespace nbk::admin
