#pragma once
#include "LoadOptions.h"

namespace nbk::load {

// The parent process: makes the network, starts one child process per session, stops
// them at the end, audits the database and prints the figures as one JSON line.
int conduct(const LoadOptions &o);

// A child: one clerk's session.
int runSession(const LoadOptions &o);

}  // namespace nbk::load
