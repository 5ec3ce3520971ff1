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

// The categories on file, youngest first; none on a database without any (or on failure).
QList<FareCategory> LoadFareCategories();

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
