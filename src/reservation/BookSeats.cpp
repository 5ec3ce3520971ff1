#include "reservation/BookSeats.h"

#include "app/common/ScreenRegistry.h"
#include "data/Class1.h"
#include "data/DbError.h"
#include "data/Numbers.h"
#include "reservation/state/ReservationState.h"
#include "ui/MsgBox.h"

#include <QSet>
#include <algorithm>
#include <exception>

using nbk::data::Class1;
using nbk::data::Command;
using nbk::data::DbException;
using nbk::data::ResultSet;

namespace {

const char *const MSG_NO_SEATS = "Cancelling reservation due to non availablity of seats";
const char *const MSG_SUCCESS = "Reservation Successful";
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

void tell(const QString &text) { nbk::ui::MsgBox(text, nbk::mb::Critical | nbk::mb::OKOnly, QString::fromLatin1(TITLE_ERROR)); }

const QVariant &field(int f, int row) { return SearchRows.at(f, row); }

// The temporary customer row; the customer details screen overwrites it.
QString tempCustomerRow()
{
    return QStringLiteral("Insert INTO Customer values ( ") + QString::number(CustomerId)
           + QStringLiteral(",-1,SYSDATE,'**TEMP**',-1,-1,'x','Unkn','Unkn',0)");
}

void writeTempCustomer(Class1 &s)
{
    s.BeginTransaction();
    // a booking whose customer row is missing would later report success for nothing
    if (s.exec(tempCustomerRow()) != -13)
        stop(QStringLiteral("The customer record could not be written (") + s.LastExecError().trimmed()
             + QStringLiteral(")."));
}

// The seat rows of ChosenSeats; false when the database refused one, with RejectedSeat
// holding that seat negated.
bool writeSeats(Class1 &s, int row, qint16 &RejectedSeat)
{
    s.SetupSetSeatMatrix();
    Command &c = s.SQLcmdSetSeatMatrix();
    for (int e = 0; e < SeatsRequested; ++e) {
        c.setValue(0, BookedInstanceId);
        c.setValue(1, ChosenSeats[size_t(e)]);
        c.setValue(2, field(3, row));
        c.setValue(3, field(4, row));
        c.setValue(4, CustomerId);
        RejectedSeat = qint16(-ChosenSeats[size_t(e)]);
        try {
            c.execute();
        } catch (const DbException &) {
            return false;
        }
    }
    return true;
}

void lowerFreeSeats(Class1 &s)
{
    const QString update = QStringLiteral("UPDATE BUS_INSTANCE set free_seats=free_seats-")
                           + QString::number(SeatsRequested) + QStringLiteral(" Where instance_id=")
                           + QString::number(BookedInstanceId);
    if (s.exec(update) != -13)
        stop(QStringLiteral("The free seats of the bus could not be updated (") + s.LastExecError().trimmed()
             + QStringLiteral(")."));
}

// `writing` turns true once the booking has its transaction.
void book(Class1 &s, qint16 row, bool &writing)
{
    if (row < 0 || row > SearchRows.lastRow() || SearchRows.fieldCount() < 10)
        stop(QStringLiteral("The chosen bus is not among the buses found."));
    // ChosenSeats holds 31 seats; the counter update needs at least one
    if (SeatsRequested < 1 || SeatsRequested > qint16(ChosenSeats.size()))
        stop(QStringLiteral("A reservation can hold 1 to %1 seats.").arg(ChosenSeats.size()));

    s.SetupMaxSeats();
    s.setupGetUniqueCID();
    s.SetupGetDistance();

    ResultSet cid = s.SQLcmdGetUniqueCID().execute();
    CustomerId = nbk::CLng(cid.value(0));

    Command &distance = s.SQLcmdGetDistance();
    distance.setValue(0, field(1, row));
    distance.setValue(1, field(3, row));
    distance.setValue(2, field(4, row));
    ResultSet km = distance.execute();
    if (km.eof() || km.value(0).isNull())
        stop(QStringLiteral("The distance of the journey on route %1 is not known.").arg(field(1, row).toString()));
    JourneyKm = nbk::CLng(km.value(0));

    const QDateTime start =
        QDateTime::fromString(field(5, row).toString(), QStringLiteral("MM-dd-yyyy HH:mm:ss"));
    if (!start.isValid())
        stop(QStringLiteral("The departure of the bus could not be read."));
    JourneyDateTime = start.addSecs(qint64(BoardingOffsetMinutes) * 60);
    BookedInstanceId = nbk::CLng(field(0, row));
    ClassBase = nbk::CInt(field(7, row));
    ClassMultiplier = field(8, row).toDouble();
    FuelMultiplier = field(9, row).toDouble();

    const QString registration = field(2, row).toString();
    Command &maxSeats = s.SQLcmdGetMaxSeats();
    maxSeats.setValue(0, registration);
    ResultSet cap = maxSeats.execute();
    if (cap.eof() || cap.value(0).isNull())
        stop(QStringLiteral("The seats of bus ") + registration + QStringLiteral(" are not recorded."));
    const double capacityValue = cap.value(0).toDouble();
    // FreeSeats holds 201 seat numbers
    if (capacityValue > double(FreeSeats.size()))
        stop(QStringLiteral("Bus ") + registration + QStringLiteral(" has %1 seats; at most %2 can be reserved.")
                                                          .arg(capacityValue)
                                                          .arg(FreeSeats.size()));
    const qint16 capacity = nbk::CInt(capacityValue);

    s.SetupGetFullSeats(nbk::CLng(field(3, row)), nbk::CLng(field(4, row)), BookedInstanceId);
    ResultSet taken = s.SQLcmdGetFullSeats().execute();
    qint16 FreeSeatCount = 0;
    if (taken.eof() && taken.bof()) {
        for (qint16 i = 0; i < capacity; ++i)
            FreeSeats[size_t(i)] = qint16(i + 1);
        FreeSeatCount = std::max<qint16>(capacity, 0);
    } else {
        QSet<qint64> held;
        for (; !taken.eof(); taken.moveNext())
            held.insert(qint64(taken.value(0).toDouble()));
        for (qint16 seat = 1; seat <= capacity; ++seat)
            if (!held.contains(seat))
                FreeSeats[size_t(FreeSeatCount++)] = seat;
    }

    if (freeSeatsHook())
        freeSeatsHook()();

    qint16 RejectedSeat = 0;
    writing = true;
    writeTempCustomer(s);
    if (PickSeats(RejectedSeat, FreeSeatCount) == -2) {
        nbk::ui::MsgBox(QString::fromLatin1(MSG_NO_SEATS), nbk::mb::OKOnly, QString());
        s.RollBackTransaction();
        return;
    }
    // Every refusal strikes one seat out, so this ends when the free seats run out.
    int refusals = 0;
    while (!writeSeats(s, row, RejectedSeat)) {
        s.RollBackTransaction();
        if (++refusals > FreeSeatCount || PickSeats(RejectedSeat, FreeSeatCount) == -2) {
            nbk::ui::MsgBox(QString::fromLatin1(MSG_NO_SEATS), nbk::mb::OKOnly, QString());
            return;
        }
        writeTempCustomer(s);
    }
    lowerFreeSeats(s);

    // the customer details screen ends the transaction; without it nothing could
    const QString details = QStringLiteral("frmCustomer");
    if (!nbk::isScreenRegistered(details))
        stop(QStringLiteral("The customer details screen is missing."));
    nbk::ui::MsgBox(QString::fromLatin1(MSG_SUCCESS), nbk::mb::OKOnly, QString::fromLatin1(TITLE_SUCCESS));
    if (!nbk::openScreen(details))
        stop(QStringLiteral("The customer details screen could not be opened."));
}

}  // namespace

namespace nbk::reservation {
void setFreeSeatsComputedHook(std::function<void()> hook) { freeSeatsHook() = std::move(hook); }
}  // namespace nbk::reservation

qint16 PickSeats(qint16 RejectedSeat, qint16 FreeSeatCount)
{
    const int count = std::clamp<int>(FreeSeatCount, 0, int(FreeSeats.size()));
    if (RejectedSeat < 0) {
        for (int i = 0; i < count; ++i) {
            if (FreeSeats[size_t(i)] == -RejectedSeat) {
                FreeSeats[size_t(i)] = -1;
                break;
            }
        }
    }
    int n = 0;
    for (int i = 0; i < count && n < SeatsRequested && n < int(ChosenSeats.size()); ++i) {
        if (FreeSeats[size_t(i)] == -1)
            continue;
        ChosenSeats[size_t(n++)] = FreeSeats[size_t(i)];
    }
    return n == SeatsRequested ? 1 : -2;
}

void BookSeats(qint16 row)
{
    Class1 &s = *DbSession;
    bool writing = false;
    QString failure;
    try {
        book(s, row, writing);
        return;
    } catch (const BookingStopped &e) {
        failure = e.text;
    } catch (const DbException &e) {
        failure = QStringLiteral("The database refused the reservation (") + e.error().description.trimmed()
                  + QStringLiteral(").") + QString::fromLatin1(MSG_CANCELLED);
    } catch (const std::exception &e) {
        failure = QStringLiteral("The reservation failed (") + QString::fromLocal8Bit(e.what())
                  + QStringLiteral(").") + QString::fromLatin1(MSG_CANCELLED);
    }
    if (writing)
        s.RollBackTransaction();
    tell(failure);
}
