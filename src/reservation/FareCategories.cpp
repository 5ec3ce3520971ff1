#include "reservation/FareCategories.h"

#include "data/session/Class1.h"
#include "data/dialect/DbError.h"
#include "data/dialect/Numbers.h"
#include "data/dialect/SqlText.h"
#include "data/session/Transaction.h"

#include <QRegularExpression>

#include <cmath>

namespace {
const char *const SQL_CATEGORIES = "SELECT category, share, min_age, max_age FROM fare_category ORDER BY min_age, category";
const char *const MSG_UNKNOWN = QT_TRANSLATE_NOOP("Prompt", "Seat %1: there is no fare category %2 ");
const char *const SQL_DROP = "DELETE FROM fare_category WHERE category = '%1'";
const char *const SQL_STORE = "INSERT INTO fare_category (category, share, min_age, max_age) VALUES ('%1', %2, %3, %4)";
const char *const MSG_NAME = "A category's name is one word of up to 20 letters, and not adult ";
const char *const MSG_SHARE = "Category %1: the share is 0 to 100% of the adult fare, for ages from a lower to a higher one ";
const char *const MSG_AGE = QT_TRANSLATE_NOOP("Prompt", "Seat %1: the age of a passenger of category %2 is %3 to %4 ");
}  // namespace

QList<FareCategory> ReadFareCategories(nbk::data::Class1 &s)
{
    QList<FareCategory> out;
    const nbk::data::RowTable r = s.GetCurrentConnection().query(QString::fromLatin1(SQL_CATEGORIES)).getRows();
    for (int i = 0; i < r.rowCount(); ++i)
        out.append({r.at(0, i).toString(), r.at(1, i).toDouble(), r.at(2, i).toDouble(), r.at(3, i).toDouble()});
    return out;
}

QList<FareCategory> LoadFareCategories()
{
    if (!DbSession)
        return {};
    try {
        return ReadFareCategories(*DbSession);
    } catch (const std::exception &) {
        return {};  // no categories: every seat an adult's, as before they existed
    }
}

QString StoreFareCategories(nbk::data::Class1 &s, const QList<FareCategory> &set, const QString &drop)
{
    static const QRegularExpression word(QStringLiteral(R"(^\w{1,20}$)"));
    const auto badName = [](const QString &n) {
        return !word.match(n).hasMatch() || n.compare(QLatin1String("adult"), Qt::CaseInsensitive) == 0;
    };
    if (!drop.isEmpty() && badName(drop.trimmed()))
        return QString::fromLatin1(MSG_NAME);
    for (const FareCategory &c : set) {
        if (badName(c.name.trimmed()))
            return QString::fromLatin1(MSG_NAME);
        if (!(c.share >= 0 && c.share <= 1 && c.minAge >= 0 && c.minAge <= c.maxAge))
            return QString::fromLatin1(MSG_SHARE).arg(c.name.trimmed());
    }
    try {
        // all of them or none
        nbk::data::Transaction tx(s, QStringLiteral("the fare categories"));
        if (!tx.isOpen())
            return tx.refusal();
        nbk::data::Connection &cn = s.GetCurrentConnection();
        if (!drop.isEmpty())
            cn.execute(QString::fromLatin1(SQL_DROP).arg(nbk::data::sqlText(drop.trimmed().toLower())));
        for (const FareCategory &c : set) {
            const QString name = c.name.trimmed().toLower();
            cn.execute(QString::fromLatin1(SQL_DROP).arg(nbk::data::sqlText(name)));
            cn.execute(QString::fromLatin1(SQL_STORE).arg(nbk::data::sqlText(name), nbk::shortestDecimal(c.share),
                                                          nbk::shortestDecimal(c.minAge), nbk::shortestDecimal(c.maxAge)));
        }
        tx.commit();
    } catch (const nbk::data::DbException &e) {
        return e.error().description;
    }
    return {};
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
