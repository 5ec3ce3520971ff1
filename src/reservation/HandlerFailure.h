#pragma once
#include <exception>

// Ends a journey screen's handler that failed: the booking's open transaction is rolled
// back so no half-done work stays for a later commit, and the error is shown.
void RollBackAndReport(const std::exception &e);
