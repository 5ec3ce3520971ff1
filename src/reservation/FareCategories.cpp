#include "reservation/FareCategories.h"

#include "data/session/Class1.h"
#include "data/dialect/Numbers.h"

#include <cmath>

namespace {
const char *const SQL_CATEGORIES = "SELECT category, share, min_age, max_age FROM fare_category ORDER BY min_age, category";
const char *const MSG_UNKNOWN = "Seat %1: there is no fare category %2 ";
const char *const MSG_AGE = "Seat %1: the age of a passenger of category %2 is %3 to %4 ";
}  // namespace

QList<FareCategory> LoadFareCategories()
{
    QList<FareCategory> out;
    if (!DbSession)
        return out;
    try {
        const nbk::data::RowTable r =
            DbSession->GetCurrentConnection().query(QString::fromLatin1(SQL_CATEGORIES)).getRows();
        for (int i = 0; i < r.rowCount(); ++i)
            out.append({r.at(0, i).toString(), r.at(1, i).toDouble(), r.at(2, i).toDouble(), r.at(3, i).toDouble()});
    } catch (const std::exception &) {
        out.clear();  // no categories: every seat an adult's, as before they existed
    }
    return out;
}

bool isAdult(const SeatCategoryChoice &c)
{
    return c.category.trimmed().isEmpty() || c.category.trimmed().compare(QLatin1String("adult"), Qt::CaseInsensitive) == 0;
}

CategoryFare FareWithCategories(const PendingBooking &booking, const QList<SeatCategoryChoice> &choices,
                                const QList<FareCategory> &categories)
{
    CategoryFare out;
    const nbk::reservation::ReservationState &r = booking.request;
    const QList<qint16> seats = booking.seats();
    const qint16 adult = FareFor(r.JourneyKm, r.FuelMultiplier, r.ClassMultiplier, r.ClassBase, 1);
    double total = 0;
    int concessions = 0;
    for (const SeatCategoryChoice &c : choices) {
        if (isAdult(c) || !seats.contains(c.seat))
            continue;
        const FareCategory *found = nullptr;
        for (const FareCategory &k : categories)
            if (k.name.compare(c.category.trimmed(), Qt::CaseInsensitive) == 0)
                found = &k;
        if (!found) {
            out.problem = QString::fromLatin1(MSG_UNKNOWN).arg(c.seat).arg(c.category.trimmed());
            return out;
        }
        bool ok = false;
        const double age = c.age.trimmed().toDouble(&ok);
        if (!ok || !nbk::IsNumeric(c.age) || age < found->minAge || age > found->maxAge) {
            out.problem = QString::fromLatin1(MSG_AGE)
                              .arg(c.seat)
                              .arg(found->name, nbk::shortestDecimal(found->minAge), nbk::shortestDecimal(found->maxAge));
            return out;
        }
        const qint16 fare = nbk::CInt(double(adult) * found->share);
        out.concessions.append({c.seat, *found, age, fare});
        total += fare;
        ++concessions;
    }
    if (concessions == 0) {
        out.fare = booking.fare();
        return out;
    }
    out.fare = nbk::CInt(total + double(adult) * double(seats.size() - concessions));
    return out;
}
