#pragma once

namespace nbk::operations {
// Registers this subsystem's screens by name (the shell and tests call it at start-up).
void registerScreens();
}  // namespace nbk::operations
