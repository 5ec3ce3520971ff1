#include "common/Globals.h"

bool IsConnected = false;
qint16 LoginState = 0;
bool RouteEditMode = false;
bool RouteAddMode = false;
bool RouteDeleteMode = false;
qint32 CurrentRouteId = 0;
