#pragma once
#include "data/session/Class1.h"

// Shell state shared by the screens.
extern bool IsConnected;
extern qint16 LoginState;
extern bool RouteEditMode;
extern bool RouteAddMode;
extern bool RouteDeleteMode;
extern qint32 CurrentRouteId;
