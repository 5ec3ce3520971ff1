#pragma once
#include <exception>

// Ends a journey screen's handler that failed: the error is shown. The handler's own task
// rolled back as it unwound; another task's pending work stays as it is.
void ReportHandlerFailure(const std::exception &e);
