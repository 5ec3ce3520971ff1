#include "reservation/BookSeats.h"

#include "data/session/Class1.h"
#include "data/dialect/DbError.h"
#include "data/dialect/Numbers.h"
#include "operations/scheduling/RunTimes.h"
#include "common/ReservationState.h"

#include <QSet>
#include <algorithm>
#include <exception>

using nbk::data::Class1;
using nbk::data::Command;
using nbk::data::DbException;
using nbk::data::ResultSet;
using nbk::reservation::ReservationState;

namespace {

const char *const MSG_NO_SEATS = QT_TRANSLATE_NOOP("Prompt", "Cancelling reservation due to non availablity of seats");
const char *const MSG_SUCCESS = QT_TRANSLATE_NOOP("Prompt", "Reservation Successful");
const char *const TITLE_SUCCESS = "Success";
const char *const TITLE_ERROR = "Error";
const char *const MSG_CANCELLED = " Reservation cancelled. ";

std::function<void()> &freeSeatsHook()
{
    static std::function<void()> h;
    return h;
}

// A booking that cannot go on: it ends here with a message, and nothing of it is left.
struct BookingStopped {
    QString text;
};

[[noreturn]] void stop(const QString &why) { throw BookingStopped{why + QString::fromLatin1(MSG_CANCELLED)}; }

nbk::Notice failure(const QString &text)
{
    return {text, nbk::mb::Critical | nbk::mb::OKOnly, QString::fromLatin1(TITLE_ERROR)};
}

nbk::Notice noSeats() { return {QString::fromLatin1(MSG_NO_SEATS), nbk::mb::OKOnly, QString()}; }


// The temporary customer row; the customer details screen overwrites it.
QString tempCustomerRow(const ReservationState &r)
{
    return QStringLiteral("Insert INTO Customer values ( ") + QString::number(r.CustomerId)
           + QStringLiteral(",-1,SYSDATE,'**TEMP**',-1,-1,'x','Unkn','Unkn',0)");
}

void writeTempCustomer(Class1 &s, const ReservationState &r, nbk::data::Transaction &tx)
{
    tx = nbk::data::Transaction(s, nbk::reservation::bookingTask(r.CustomerId));
    // another task's changes are pending: this booking must not write into them
    if (!tx.isOpen())
        throw BookingStopped{tx.refusal()};
    // a booking whose customer row is missing would later report success for nothing
    if (s.exec(tempCustomerRow(r)) != nbk::data::kExecOk)
        stop(QStringLiteral("The customer record could not be written (") + s.LastExecError().trimmed()
             + QStringLiteral(")."));
}

// The seat rows of r.ChosenSeats; false when the database refused one, with RejectedSeat
// holding that seat negated.
bool writeSeats(Class1 &s, const ReservationState &r, int row, qint16 &RejectedSeat)
{
    s.SetupSetSeatMatrix();
    Command &c = s.SQLcmdSetSeatMatrix();
    for (int e = 0; e < r.SeatsRequested; ++e) {
        c.setValue(0, r.BookedInstanceId);
        c.setValue(1, r.ChosenSeats[size_t(e)]);
        c.setValue(2, r.SearchRows.at(3, row));
        c.setValue(3, r.SearchRows.at(4, row));
        c.setValue(4, r.CustomerId);
        RejectedSeat = qint16(-r.ChosenSeats[size_t(e)]);
        try {
            c.execute();
        } catch (const DbException &e) {
            // a seat held by another booking (or locked by one being made) is struck out
            // and the booking written again; any other failure (a full disk, a lost
            // connection) ends the booking instead of striking every free seat out
            const int n = e.nativeError();
            if (n == nbk::data::ora::SeatTaken || n == nbk::data::ora::UniqueViolated
                || n == nbk::data::ora::ResourceBusy || n == nbk::data::ora::Deadlock)
                return false;
            throw;
        }
    }
    return true;
}

void lowerFreeSeats(Class1 &s, const ReservationState &r)
{
    const QString update = QStringLiteral("UPDATE BUS_INSTANCE set free_seats=free_seats-")
                           + QString::number(r.SeatsRequested) + QStringLiteral(" Where instance_id=")
                           + QString::number(r.BookedInstanceId);
    if (s.exec(update) != nbk::data::kExecOk)
        stop(QStringLiteral("The free seats of the bus could not be updated (") + s.LastExecError().trimmed()
             + QStringLiteral(")."));
}

// Puts the picked seats first among the free ones, the others after them in their order.
void pickedFirst(ReservationState &r, qint16 FreeSeatCount, const QList<qint16> &picked)
{
    if (picked.isEmpty())
        return;
    if (picked.size() > r.SeatsRequested)
        stop(QString::fromLatin1(QT_TRANSLATE_NOOP("Prompt", "%1 seats were picked for a reservation of %2.")).arg(picked.size()).arg(r.SeatsRequested));
    QList<qint16> free(r.FreeSeats.begin(), r.FreeSeats.begin() + FreeSeatCount);
    for (qint16 seat : picked)
        if (!free.contains(seat) || picked.count(seat) > 1)
            stop(QString::fromLatin1(QT_TRANSLATE_NOOP("Prompt", "Seat %1 is not free on this journey.")).arg(seat));
    QList<qint16> order = picked;
    for (qint16 seat : free)
        if (!picked.contains(seat))
            order.append(seat);
    std::copy(order.begin(), order.end(), r.FreeSeats.begin());
}

BookingOutcome book(Class1 &s, ReservationState &r, qint16 row, nbk::data::Transaction &tx,
                    const QList<qint16> &picked)
{
    const auto field = [&r](int f, int i) -> const QVariant & { return r.SearchRows.at(f, i); };
    BookingOutcome out;
    if (row < 0 || row > r.SearchRows.lastRow() || r.SearchRows.fieldCount() < 10)
        stop(QStringLiteral("The chosen bus is not among the buses found."));
    // r.ChosenSeats holds 31 seats; the counter update needs at least one
    if (r.SeatsRequested < 1 || r.SeatsRequested > qint16(r.ChosenSeats.size()))
        stop(QString::fromLatin1(QT_TRANSLATE_NOOP("Prompt", "A reservation can hold 1 to %1 seats.")).arg(r.ChosenSeats.size()));

    s.SetupMaxSeats();
    s.setupGetUniqueCID();
    s.SetupGetDistance();

    ResultSet cid = s.SQLcmdGetUniqueCID().execute();
    r.CustomerId = nbk::CLng(cid.value(0));

    Command &distance = s.SQLcmdGetDistance();
    distance.setValue(0, field(1, row));
    distance.setValue(1, field(3, row));
    distance.setValue(2, field(4, row));
    ResultSet km = distance.execute();
    if (km.eof() || km.value(0).isNull())
        stop(QStringLiteral("The distance of the journey on route %1 is not known.").arg(field(1, row).toString()));
    r.JourneyKm = nbk::CLng(km.value(0));

    const QDateTime start = nbk::runDeparture(field(5, row).toString());
    if (!start.isValid())
        stop(QStringLiteral("The departure of the bus could not be read."));
    r.JourneyDateTime = start.addSecs(qint64(r.BoardingOffsetMinutes) * 60);
    r.BookedInstanceId = nbk::CLng(field(0, row));
    r.ClassBase = nbk::CInt(field(7, row));
    r.ClassMultiplier = field(8, row).toDouble();
    r.FuelMultiplier = field(9, row).toDouble();

    const QString registration = field(2, row).toString();
    Command &maxSeats = s.SQLcmdGetMaxSeats();
    maxSeats.setValue(0, registration);
    ResultSet cap = maxSeats.execute();
    if (cap.eof() || cap.value(0).isNull())
        stop(QStringLiteral("The seats of bus ") + registration + QStringLiteral(" are not recorded."));
    const double capacityValue = cap.value(0).toDouble();
    // r.FreeSeats holds 201 seat numbers
    if (capacityValue > double(r.FreeSeats.size()))
        stop(QStringLiteral("Bus ") + registration + QStringLiteral(" has %1 seats; at most %2 can be reserved.")
                                                          .arg(capacityValue)
                                                          .arg(r.FreeSeats.size()));
    const qint16 capacity = nbk::CInt(capacityValue);

    s.SetupGetFullSeats(nbk::CLng(field(3, row)), nbk::CLng(field(4, row)), r.BookedInstanceId);
    ResultSet taken = s.SQLcmdGetFullSeats().execute();
    qint16 FreeSeatCount = 0;
    if (taken.eof() && taken.bof()) {
        for (qint16 i = 0; i < capacity; ++i)
            r.FreeSeats[size_t(i)] = qint16(i + 1);
        FreeSeatCount = std::max<qint16>(capacity, 0);
    } else {
        QSet<qint64> held;
        for (; !taken.eof(); taken.moveNext())
            held.insert(qint64(taken.value(0).toDouble()));
        for (qint16 seat = 1; seat <= capacity; ++seat)
            if (!held.contains(seat))
                r.FreeSeats[size_t(FreeSeatCount++)] = seat;
    }

    pickedFirst(r, FreeSeatCount, picked);
    if (freeSeatsHook())
        freeSeatsHook()();

    qint16 RejectedSeat = 0;
    writeTempCustomer(s, r, tx);
    if (PickSeats(r, RejectedSeat, FreeSeatCount) == -2) {
        tx.rollback();
        out.notices.push_back(noSeats());
        return out;
    }
    // Every refusal strikes one seat out, so this ends when the free seats run out.
    int refusals = 0;
    while (!writeSeats(s, r, row, RejectedSeat)) {
        tx.rollback();
        if (++refusals > FreeSeatCount || PickSeats(r, RejectedSeat, FreeSeatCount) == -2) {
            out.notices.push_back(noSeats());
            return out;
        }
        writeTempCustomer(s, r, tx);
    }
    lowerFreeSeats(s, r);

    auto booking = std::make_shared<PendingBooking>();
    booking->transaction = std::move(tx);
    booking->request = r;
    booking->RouteId = nbk::CLng(field(1, row));
    out.notices.push_back({QString::fromLatin1(MSG_SUCCESS), nbk::mb::OKOnly, QString::fromLatin1(TITLE_SUCCESS)});
    out.booking = std::move(booking);
    return out;
}

}  // namespace

namespace nbk::reservation {
void setFreeSeatsComputedHook(std::function<void()> hook) { freeSeatsHook() = std::move(hook); }

QString bookingTask(qint32 customerId)
{
    return QStringLiteral("the reservation of customer %1 (waiting for its customer details)").arg(customerId);
}
}  // namespace nbk::reservation

QList<qint16> PendingBooking::seats() const
{
    const int n = std::clamp<int>(request.SeatsRequested, 0, int(request.ChosenSeats.size()));
    return QList<qint16>(request.ChosenSeats.begin(), request.ChosenSeats.begin() + n);
}

qint16 PendingBooking::fare() const
{
    const ReservationState &r = request;
    return FareFor(r.JourneyKm, r.FuelMultiplier, r.ClassMultiplier, r.ClassBase, r.SeatsRequested);
}

qint16 FareFor(qint32 km, double fuelMultiplier, double classMultiplier, qint16 classBase, qint16 seats)
{
    const qint16 a = nbk::CInt(double(km) * fuelMultiplier);
    const qint16 b = nbk::CInt(double(km) * classMultiplier + a);
    // (b + base) x seats, each step within 16 bits
    const qint16 sum = nbk::CInt(double(b) + double(classBase));
    return nbk::CInt(double(sum) * double(seats));
}

qint16 PickSeats(ReservationState &r, qint16 RejectedSeat, qint16 FreeSeatCount)
{
    const int count = std::clamp<int>(FreeSeatCount, 0, int(r.FreeSeats.size()));
    if (RejectedSeat < 0) {
        for (int i = 0; i < count; ++i) {
            if (r.FreeSeats[size_t(i)] == -RejectedSeat) {
                r.FreeSeats[size_t(i)] = -1;
                break;
            }
        }
    }
    int n = 0;
    for (int i = 0; i < count && n < r.SeatsRequested && n < int(r.ChosenSeats.size()); ++i) {
        if (r.FreeSeats[size_t(i)] == -1)
            continue;
        r.ChosenSeats[size_t(n++)] = r.FreeSeats[size_t(i)];
    }
    return n == r.SeatsRequested ? 1 : -2;
}

BookingOutcome BookSeats(const ReservationState &request, qint16 row, const QList<qint16> &picked)
{
    Class1 &s = *DbSession;
    ReservationState r = request;
    // rolls back on every way out that does not hand the booking on
    nbk::data::Transaction tx;
    QString text;
    try {
        BookingOutcome out = book(s, r, row, tx, picked);
        out.request = std::move(r);
        return out;
    } catch (const BookingStopped &e) {
        text = e.text;
    } catch (const DbException &e) {
        text = QStringLiteral("The database refused the reservation (") + e.error().description.trimmed()
               + QStringLiteral(").") + QString::fromLatin1(MSG_CANCELLED);
    } catch (const std::exception &e) {
        text = QStringLiteral("The reservation failed (") + QString::fromLocal8Bit(e.what()) + QStringLiteral(").")
               + QString::fromLatin1(MSG_CANCELLED);
    }
    tx.rollback();
    BookingOutcome out;
    out.notices.push_back(failure(text));
    out.request = std::move(r);
    return out;
}
