#pragma once

namespace nbk {
// Registration of every subsystem's screens (called by StartApplication and by tests).
void registerAllScreens();
}  // namespace nbk
