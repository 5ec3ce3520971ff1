#pragma once

namespace nbk::reservation {
// Registers this subsystem's screens by name (the shell and tests call it at start-up).
void registerScreens();
}  // namespace nbk::reservation
