#include "reservation/FindBookings.h"

#include "common/PeopleDates.h"
#include "common/SharedRoutines.h"
#include "data/dialect/SqlText.h"
#include "data/session/Class1.h"

#include <QLocale>
#include <QRegularExpression>

using nbk::data::sqlText;

namespace {
const char *const MSG_NOTHING_TYPED = "Type a name, a phone number, a journey date or a run number to search for.";
const char *const MSG_DATE = "Type the journey date as DD/MM/YYYY.";
const char *const MSG_RUN = "Type the run number in figures.";
const char *const MSG_BUSY = "A reservation is in progress. Finish or cancel it, then search again.";
const char *const MSG_NONE = "No booking matches.";
const char *const MSG_FAILED = "The bookings could not be read. Please try again or report to supervisor.";

const char *const SQL_FIND =
    "SELECT c.customer_id, c.name, c.phone, c.journey_date, o.full_name, d.full_name, c.instance_id, c.fare, "
    "(SELECT count(*) FROM seat_matrix s WHERE s.customer_id = c.customer_id) "
    "FROM customer c LEFT JOIN place o ON o.place = c.origin LEFT JOIN place d ON d.place = c.destin WHERE ";

// A LIKE pattern that finds the typed text anywhere: the pattern's own characters in it
// are escaped, so "50%" or "A_B" match only themselves.
QString containing(const QString &typed)
{
    QString p;
    for (const QChar c : typed.trimmed()) {
        if (c == u'!' || c == u'%' || c == u'_')
            p += u'!';
        p += c;
    }
    return QStringLiteral("'%") + sqlText(p) + QStringLiteral("%'");
}

std::optional<QDate> typedDate(const QString &typed)
{
    static const QRegularExpression form(QStringLiteral("^\\s*(\\d{1,2})[/.-](\\d{1,2})[/.-](\\d{4})\\s*$"));
    const QRegularExpressionMatch m = form.match(typed);
    if (!m.hasMatch())
        return std::nullopt;
    const QDate d(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt());
    return d.isValid() ? std::optional<QDate>(d) : std::nullopt;
}

nbk::Notice info(const char *text)
{
    return {QString::fromLatin1(text), nbk::mb::Information | nbk::mb::OKOnly, QStringLiteral("Find Booking")};
}
}  // namespace

FindBookingsOutcome FindBookings(const BookingSearch &search)
{
    FindBookingsOutcome out;
    auto refuse = [&](const char *text, nbk::Focus focus) {
        out.notices.push_back(info(text));
        out.focus = focus;
        return out;
    };
    QStringList where;
    if (!search.name.trimmed().isEmpty())
        where << QStringLiteral("UPPER(c.name) LIKE UPPER(") + containing(search.name) + QStringLiteral(") ESCAPE '!'");
    if (!search.phone.trimmed().isEmpty())
        where << QStringLiteral("c.phone LIKE ") + containing(search.phone) + QStringLiteral(" ESCAPE '!'");
    if (!search.date.trimmed().isEmpty()) {
        const std::optional<QDate> d = typedDate(search.date);
        if (!d)
            return refuse(MSG_DATE, nbk::Focus::BookingDate);
        // a range, not a function of the column, so that an index on it can serve
        where << QStringLiteral("c.journey_date >= ") + OracleDateLiteral(d->startOfDay())
                     + QStringLiteral(" AND c.journey_date < ") + OracleDateLiteral(d->addDays(1).startOfDay());
    }
    if (!search.run.trimmed().isEmpty()) {
        static const QRegularExpression figures(QStringLiteral("^\\s*\\d{1,15}\\s*$"));
        if (!figures.match(search.run).hasMatch())
            return refuse(MSG_RUN, nbk::Focus::BookingRun);
        where << QStringLiteral("c.instance_id = ") + QString::number(search.run.trimmed().toLongLong());
    }
    if (where.isEmpty())
        return refuse(MSG_NOTHING_TYPED, nbk::Focus::Name);
    if (!DbSession)
        return out;
    // a failed read inside another task's transaction could end that transaction
    if (DbSession->IsInTransaction())
        return refuse(MSG_BUSY, nbk::Focus::None);

    const QString sql = QString::fromLatin1(SQL_FIND) + where.join(QStringLiteral(" AND "))
                        + QStringLiteral(" ORDER BY c.journey_date DESC, c.customer_id DESC LIMIT ")
                        + QString::number(kMostFound + 1);
    try {
        const nbk::data::RowTable r = DbSession->GetCurrentConnection().query(sql).getRows();
        for (int i = 0; i < r.rowCount() && i < kMostFound; ++i) {
            FoundBooking b;
            b.customerId = r.at(0, i).toLongLong();
            b.name = r.at(1, i).toString();
            b.phone = r.at(2, i).toString();
            b.journey = r.at(3, i).toDateTime();
            b.origin = r.at(4, i).toString();
            b.destination = r.at(5, i).toString();
            b.run = r.at(6, i).toLongLong();
            b.fare = r.at(7, i).toDouble();
            b.seats = r.at(8, i).toInt();
            out.found.push_back(b);
        }
        out.more = r.rowCount() > kMostFound;
    } catch (const std::exception &) {
        out.notices.push_back({QString::fromLatin1(MSG_FAILED), nbk::mb::Critical | nbk::mb::OKOnly,
                               QStringLiteral("Find Booking")});
        return out;
    }
    if (out.found.empty())
        out.notices.push_back(info(MSG_NONE));
    return out;
}

QString foundBookingText(const FoundBooking &b)
{
    return QStringLiteral("%1  %2  %3  %4  %5 to %6  Run %7  Seats %8  Fare: \u20B9 %9")
        .arg(b.customerId)
        .arg(b.name, b.phone, nbk::peopleDateTime(b.journey), b.origin,
             b.destination)
        .arg(b.run)
        .arg(b.seats)
        .arg(QLocale::c().toString(b.fare, 'f', 0));
}
