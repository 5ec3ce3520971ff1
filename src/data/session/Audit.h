#pragma once
#include <QString>

namespace nbk::data {

class Connection;

// What a consistent reservation database shows: no seat held twice on a shared stretch,
// free-seat counters that match the seat rows, no half-made booking, fares as booked.
struct AuditFigures {
    int overlaps = 0;            // pairs of seat rows of one run and seat sharing a segment
    int counterMismatches = 0;   // runs whose free_seats is not capacity minus seat rows
    int tempRows = 0;            // placeholder customers left behind
    int fareMismatches = 0;      // customers whose fare is not the per-seat fare x seats held
                                 // (each concession seat at its own fare)
    int concessionMismatches = 0;  // concession seats whose fare is not their share of the per-seat fare
    int chargeMismatches = 0;      // cancellation charges not of a slab sold with the booking
    bool clean() const
    {
        return overlaps == 0 && counterMismatches == 0 && tempRows == 0 && fareMismatches == 0
               && concessionMismatches == 0 && chargeMismatches == 0;
    }
    QString summary() const;
};

// Reads the whole database through the connection. Throws DbException.
AuditFigures auditDatabase(Connection &cn);

// The fare of one seat over km kilometres: the booking's rounding, step by step.
qint16 seatFare(double km, double fuelMultiplier, double classMultiplier, double classBase);

}  // namespace nbk::data
