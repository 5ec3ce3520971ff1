#pragma once
#include "routes/StoreRoute.h"

#include <array>

namespace nbk::routes {

// One day row of the frequency screen (k = 0 .. 7: Monday .. Sunday, Everyday).
struct DayEntry {
    bool ticked = false;
    QString interval;  // typed or chosen minutes between buses
    int hour = 5;
    int minute = 0;
};

// What one Next >> of the frequency screen did.
struct FrequencyPass {
    Notices notices;         // shown in order before the result (days already set)
    QList<int> offeredDays;  // rows k whose class columns are offered, in the order met
    Outcome result;          // done: go on to the classes
};

// Writes one frequency row per ticked day, Everyday first; an Everyday row stands for
// the whole week and ends the pass.
FrequencyPass storeFrequency(data::Class1 &s, bool editing, qint32 routeId, const std::array<DayEntry, 8> &days);

// Index of the class box of class c (0 .. 4) and day d (1 .. 8).
constexpr int classBox(int c, int day) { return 8 * c + 8 - day; }

// Writes one class row per ticked box of the columns of the days that run (enabled);
// ticks left in other columns are ignored. Done: rows written, ready to commit.
Outcome storeClasses(data::Class1 &s, bool editing, qint32 routeId, const std::array<bool, 40> &ticked,
                     const std::array<bool, 40> &enabled);

// The message of the committed wizard.
QString completionText(bool editing, qint32 routeId);

}  // namespace nbk::routes
