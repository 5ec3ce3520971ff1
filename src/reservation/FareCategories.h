#pragma once
#include "reservation/BookSeats.h"

#include <QList>
#include <QString>
#include <optional>

// A fare category as the supervisor keeps it: a passenger aged minAge to maxAge pays
// `share` of the adult fare. An adult has no category.
struct FareCategory {
    QString name;
    double share = 1.0;
    double minAge = 0;
    double maxAge = 0;
};

// A seat of the booking sold at a category, as the clerk typed it.
struct SeatCategoryChoice {
    qint16 seat = 0;
    QString category;  // empty or "adult": the whole fare
    QString age;
};

namespace nbk::data {
class Class1;
}

// The categories on file, youngest first; none on a database without any (or on failure).
QList<FareCategory> LoadFareCategories();
// The same, the failure thrown (nbk::data::DbException).
QList<FareCategory> ReadFareCategories(nbk::data::Class1 &session);

// Sets the categories given (a category of the same name replaced) and withdraws `drop`,
// all or nothing. Empty when done, else why not: a name that is not one word of up to 20
// letters or is "adult", a share beyond 0 to 1, an age range upside down, or the
// database's refusal. Seats already sold keep the share they were sold at.
QString StoreFareCategories(nbk::data::Class1 &session, const QList<FareCategory> &set, const QString &drop = QString());

// Whether the choice is an adult's, at the whole fare.
bool isAdult(const SeatCategoryChoice &c);

// A concession seat priced: its category and the seat's fare, its share of the adult fare
// taken to the nearest rupee (halves to the even neighbour).
struct PricedSeat {
    qint16 seat = 0;
    FareCategory category;
    double age = 0;
    qint16 fare = 0;
};

struct CategoryFare {
    QString problem;             // why the choices cannot be sold; empty when they can
    QList<PricedSeat> concessions;
    qint16 fare = 0;             // the booking's fare
};

// The booking's fare with its concession seats: the adult fare for every other seat. With
// no concession it is booking.fare() exactly. Raises nbk::data::DbException 6 when a step
// does not fit in 16 bits.
CategoryFare FareWithCategories(const PendingBooking &booking, const QList<SeatCategoryChoice> &choices,
                                const QList<FareCategory> &categories);
