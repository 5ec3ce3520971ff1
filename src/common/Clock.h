#pragma once
#include <QDate>
#include <QDateTime>

// The client's idea of "now": the system clock, unless a test has fixed it.
namespace nbk {

QDateTime currentDateTime();
QDate currentDate();

// Fixes the clock at `now` (an invalid value returns to the system clock).
void setFixedNow(const QDateTime &now);

}  // namespace nbk
