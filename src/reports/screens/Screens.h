#pragma once

namespace nbk::reports {
// Registers this subsystem's screens by name (the shell and tests call it at start-up).
void registerScreens();
}  // namespace nbk::reports
