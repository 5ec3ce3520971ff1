#pragma once
#include <QDateTime>
#include <QList>
#include <QString>

namespace nbk::data {
class Class1;
}

// A cancellation slab: from `hoursBefore` hours before the departure, `share` of the fare
// given back is retained. The slabs of one effective date make a schedule; a booking keeps
// the schedule in force when it was sold.
struct CancelSlab {
    QDateTime effectiveFrom;
    double hoursBefore = 0;
    double share = 0;
};

// What a change of the schedules came to: empty when it was made, else why not (the
// database's refusal of a schedule in force, or another task's pending work).
using SlabRefusal = QString;

// The schedules on file, oldest first, each from its farthest slab. Throws
// nbk::data::DbException.
QList<CancelSlab> ReadCancelSlabs(nbk::data::Class1 &session);

// Adds a schedule from `from` (minutes), all of its slabs or none.
SlabRefusal AddCancelSchedule(nbk::data::Class1 &session, const QDateTime &from, const QList<CancelSlab> &slabs);

// Withdraws the schedule from `from` before it takes effect; the database keeps one in force.
SlabRefusal WithdrawCancelSchedule(nbk::data::Class1 &session, const QDateTime &from);
