#include "operations/CancelReservation.h"

#include "common/PeopleDates.h"
#include "data/session/Class1.h"
#include "data/dialect/DbError.h"
#include "ui/prompt/Prompt.h"
#include "data/dialect/Numbers.h"
#include "data/session/Transaction.h"

#include <QDateTime>
#include <QMap>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <optional>

using nbk::data::DbError;
using nbk::data::DbException;
namespace mb = nbk::mb;
namespace ora = nbk::data::ora;

namespace {

const char *const MSG_INVALID_ID = QT_TRANSLATE_NOOP("Prompt", "Invalid Customer Id ( Enter only numerals) ");
const char *const MSG_UNDER_UPDATE = QT_TRANSLATE_NOOP("Prompt", "Customer detail under update. Please try later ");
const char *const MSG_NOT_FOUND = QT_TRANSLATE_NOOP("Prompt", "Customer Id not found in data base");
const char *const MSG_DONE = QT_TRANSLATE_NOOP("Prompt", "  Cancel Done ");
const char *const MSG_SEATS_DELETED = QT_TRANSLATE_NOOP("Prompt", "%1 seats deleted");
const char *const MSG_FAILED = QT_TRANSLATE_NOOP("Prompt",
    "Cancellation failed. Nothing has been changed. Please try later or report to supervisor ");
// The question's lines, each translated on its own where it is shown.
const char *const MSG_CONFIRM = QT_TRANSLATE_NOOP("Prompt", "Are you sure to cancel customer no. %1");
const char *const MSG_PASSENGER = QT_TRANSLATE_NOOP("Prompt", "Passenger: %1");
const char *const MSG_RUN = QT_TRANSLATE_NOOP("Prompt", "Run %1");
const char *const MSG_RUN_ON = QT_TRANSLATE_NOOP("Prompt", "Run %1, journey %2");
const char *const MSG_WHOLE = QT_TRANSLATE_NOOP("Prompt", "Seats to cancel: %1 (the whole booking)");
const char *const MSG_PART = QT_TRANSLATE_NOOP("Prompt", "Seats to cancel: %1 (%2 of %3 seats)");
const char *const MSG_SEATS_FARE = QT_TRANSLATE_NOOP("Prompt", "Fare of these seats: ₹ %1");
const char *const MSG_CHARGE_AFTER = QT_TRANSLATE_NOOP("Prompt", "Cancellation charge: ₹ %1 (%2% after departure)");
const char *const MSG_CHARGE_BEFORE =
    QT_TRANSLATE_NOOP("Prompt", "Cancellation charge: ₹ %1 (%2% at %3 hours before departure)");
const char *const MSG_REFUND = QT_TRANSLATE_NOOP("Prompt", "Amount to refund: ₹ %1");

QString worded(const char *pattern) { return QString::fromUtf8(pattern); }

// Statement pieces; the numbers between them are formatted from numbers.
const char *const SQL_LOCK_1 = "SELECT customer_id FROM CUSTOMER WHERE customer_id = ";
const char *const SQL_LOCK_2 = " FOR UPDATE NOWAIT";
const char *const SQL_DELETE_SEATS = "DELETE FROM SEAT_MATRIX  WHERE customer_id =  ";
const char *const SQL_DELETE_SEAT = " AND seat_no = ";
const char *const SQL_DELETE_CUSTOMER = "DELETE FROM CUSTOMER WHERE customer_id = ";
const char *const SQL_FREE_SEATS_1 = " UPDATE Bus_instance SET free_seats = free_seats + ";
const char *const SQL_FREE_SEATS_2 = "  WHERE INSTANCE_ID = ";
const char *const SQL_FARE_1 = " UPDATE CUSTOMER set fare = fare - ( ";
const char *const SQL_FARE_2 = "* ( select (fare/(select count(*) from seat_matrix where customer_id= ";
const char *const SQL_FARE_3 = " )    )  from customer where customer_id=";
const char *const SQL_FARE_4 = ") ) where customer_id = ";
const char *const SQL_BOOKING =
    "SELECT name, fare, To_char(journey_date,'mm-dd-yyyy hh24:mi:ss') FROM CUSTOMER WHERE customer_id = ";
const char *const SQL_SEATS_HELD = "SELECT count(*) FROM SEAT_MATRIX WHERE customer_id = ";
// The cancellation charges sold with the booking, the nearest slab first, with the hours
// left before its departure on the database's clock in the corporation's zone, the one
// its rules count them in (SYSDATE follows the session's zone).
const char *const SQL_SLABS =
    "SELECT s.hours_before, s.retained_share, (c.journey_date - nbk_trail_now()) * 24 FROM sale_terms st "
    "JOIN cancel_slab s ON s.effective_from = st.slabs_from JOIN customer c ON c.customer_id = st.customer_id "
    "WHERE st.customer_id = %1 ORDER BY s.hours_before DESC";
const char *const SQL_CHARGE =
    "INSERT INTO cancel_charge (customer_id, seats, fare_before, fare_after, retained_share, retained, refunded) "
    "VALUES (%1, %2, %3, %4, %5, %6, %7)";
// A booking's concession seats with the fares they were sold at; none for an all-adult one.
const char *const SQL_CONCESSIONS = "SELECT seat_no, fare, category FROM seat_category WHERE customer_id = ";
const char *const SQL_CONCESSIONS_DELETE = "DELETE FROM seat_category WHERE customer_id = ";
const char *const SQL_FARE_SET = " UPDATE CUSTOMER set fare = %1 where customer_id = %2";
const char *const MSG_CHARGE_MOVED =
    "The cancellation charge changed while the question was open (a slab was passed); nothing was changed";

// Beyond this a double no longer holds every whole number exactly.
constexpr double kLargestId = 9007199254740991.0;

bool isLockRefusal(const DbException &e)
{
    return e.nativeError() == ora::ResourceBusy ||
           e.error().description.trimmed() == QLatin1String(nbk::data::kResourceBusyText);
}

// Runs one statement of the cancellation and insists on the rows it must change: a
// statement that changes more or fewer rows would leave seats, counter and fare apart.
void change(nbk::data::Connection &cn, const QString &sql, int expectedRows)
{
    const int changed = cn.executeCount(sql);
    if (changed != expectedRows)
        throw DbException(DbError{0,
                                  QStringLiteral("%1 rows changed where %2 were expected by: %3")
                                      .arg(changed)
                                      .arg(expectedRows)
                                      .arg(sql.trimmed())});
}

// The customer id as a whole number; nothing when the text is not one.
std::optional<qint64> parseCustomerId(const QString &typed)
{
    if (!nbk::IsNumeric(typed))
        return std::nullopt;
    bool ok = false;
    const double v = typed.trimmed().toDouble(&ok);
    // ids are whole numbers: "12.5" or "1e400" cannot name a customer
    if (!ok || !std::isfinite(v) || v != std::floor(v) || std::fabs(v) > kLargestId)
        return std::nullopt;
    return qint64(v);
}

// Takes the customer's rows for this session before they are read, without waiting.
QString lockStatement(qint64 customerId)
{
    return QString::fromLatin1(SQL_LOCK_1) + QString::number(customerId) + QString::fromLatin1(SQL_LOCK_2);
}

// An amount as the counter counts it: whole rupees without decimals, else two.
QString amountText(double v)
{
    return v == std::floor(v) ? QString::number(qint64(v)) : QString::number(v, 'f', 2);
}

// What a cancellation gives back: the fare of its seats less the charge of the booking's
// slab. No slabs sold with the booking: no charge, the fare given back whole.
struct Charge {
    bool applies = false;
    double hours = 0;  // before the departure
    double share = 0;  // of the fare given back that is retained
};

Charge chargeNow(nbk::data::Connection &cn, qint64 id)
{
    Charge c;
    const nbk::data::RowTable slabs = cn.query(QString::fromLatin1(SQL_SLABS).arg(id)).getRows();
    if (slabs.rowCount() == 0)
        return c;
    c.applies = true;
    c.hours = slabs.at(2, 0).toDouble();
    c.share = 1.0;  // past the lowest slab nothing is given back
    for (int i = 0; i < slabs.rowCount(); ++i)
        if (slabs.at(0, i).toDouble() <= c.hours) {
            c.share = slabs.at(1, i).toDouble();
            break;
        }
    return c;
}

// The charge on `returned`, up to the next paisa: never less than the slab's share.
double retainedOf(double returned, double share)
{
    return std::max(0.0, std::ceil(returned * share * 100.0 - 1e-6) / 100.0);
}

// The fares of a booking's seats. An all-adult booking's seats share its fare evenly (the
// statement of the partial cancellation divides it); a booking with concession seats gives
// back each seat's own fare: the fare it was sold at, the adult fare for the others.
struct SeatFares {
    QMap<qint64, double> concession;  // seat -> fare as sold
    QMap<qint64, QString> category;
    bool mixed() const { return !concession.isEmpty(); }
    // the fare of the first `cancelled` seats of `seats`, out of `fare` held for them all
    double of(const nbk::data::RowTable &seats, int cancelled, double fare) const
    {
        const int n = seats.rowCount();
        if (cancelled >= n)
            return fare;
        if (!mixed())
            return cancelled * (fare / n);
        double concessions = 0;
        int adults = 0;
        for (int i = 0; i < n; ++i) {
            const auto it = concession.constFind(qint64(nbk::CLng(seats.at(0, i))));
            if (it != concession.constEnd())
                concessions += it.value();
            else
                ++adults;
        }
        const double adult = adults > 0 ? (fare - concessions) / adults : 0;
        double sum = 0;
        for (int i = 0; i < cancelled; ++i) {
            const auto it = concession.constFind(qint64(nbk::CLng(seats.at(0, i))));
            sum += it != concession.constEnd() ? it.value() : adult;
        }
        return sum;
    }
};

SeatFares seatFares(nbk::data::Connection &cn, qint64 id)
{
    SeatFares f;
    const nbk::data::RowTable r = cn.query(QString::fromLatin1(SQL_CONCESSIONS) + QString::number(id)).getRows();
    for (int i = 0; i < r.rowCount(); ++i) {
        f.concession.insert(qint64(nbk::CLng(r.at(0, i))), r.at(1, i).toDouble());
        f.category.insert(qint64(nbk::CLng(r.at(0, i))), r.at(2, i).toString());
    }
    return f;
}

// The question names what is about to go, so that a clerk who pressed Enter once too
// often reads whom and what it is about before anything changes.
QString confirmationText(nbk::data::Connection &cn, const QString &cid, qint64 id, const nbk::data::RowTable &seats,
                         int cancelled, const Charge &charge, const SeatFares &fares, double *fareHeld)
{
    const nbk::data::RowTable booking =
        cn.query(QString::fromLatin1(SQL_BOOKING) + QString::number(id)).getRows();
    QString name;
    double fare = 0;
    QString when;
    if (booking.rowCount() > 0) {
        name = booking.at(0, 0).toString();
        fare = booking.at(1, 0).toDouble();
        const QDateTime t =
            QDateTime::fromString(booking.at(2, 0).toString(), QStringLiteral("MM-dd-yyyy HH:mm:ss"));
        if (t.isValid())
            when = nbk::peopleDateTime(t);
    }
    QStringList numbers;
    for (int i = 0; i < cancelled; ++i) {
        const qint64 seat = nbk::CLng(seats.at(0, i));
        numbers << (fares.mixed() ? QStringLiteral("%1 (%2)").arg(seat).arg(fares.category.value(seat, QStringLiteral("adult")))
                                  : QString::number(seat));
    }
    const int n = seats.rowCount();
    const double refund = fares.of(seats, cancelled, fare);
    const QString run = QString::number(nbk::CLng(seats.at(1, 0)));
    const QString held = numbers.join(QStringLiteral(", "));
    QStringList lines{worded(MSG_CONFIRM).arg(cid), QString(), worded(MSG_PASSENGER).arg(name),
                      when.isEmpty() ? worded(MSG_RUN).arg(run) : worded(MSG_RUN_ON).arg(run, when),
                      cancelled >= n ? worded(MSG_WHOLE).arg(held) : worded(MSG_PART).arg(held).arg(cancelled).arg(n)};
    *fareHeld = fare;
    if (charge.applies) {
        const double retained = retainedOf(refund, charge.share);
        const QString share = QString::number(charge.share * 100, 'g', 4);
        lines << worded(MSG_SEATS_FARE).arg(amountText(refund))
              << (charge.hours < 0 ? worded(MSG_CHARGE_AFTER).arg(amountText(retained), share)
                                   : worded(MSG_CHARGE_BEFORE).arg(amountText(retained), share).arg(std::floor(charge.hours)))
              << worded(MSG_REFUND).arg(amountText(refund - retained));
    } else {
        lines << worded(MSG_REFUND).arg(amountText(refund));
    }
    return lines.join(QStringLiteral("\r\n"));
}

}  // namespace

std::optional<int> SeatsHeld(const QString &cid)
{
    const std::optional<qint64> id = parseCustomerId(cid);
    // a read between another task's statements would not be this screen's to make
    if (!id || !DbSession || DbSession->IsInTransaction())
        return std::nullopt;
    try {
        const nbk::data::RowTable r = DbSession->GetCurrentConnection()
                                          .query(QString::fromLatin1(SQL_SEATS_HELD) + QString::number(*id))
                                          .getRows();
        const int n = r.rowCount() > 0 ? int(nbk::CLng(r.at(0, 0))) : 0;
        return n > 0 ? std::optional<int>(n) : std::nullopt;
    } catch (const std::exception &) {
        return std::nullopt;
    }
}

CancelOutcome CancelReservation(const QString &cid, qint16 k, const nbk::Confirm &confirm)
{
    CancelOutcome out;
    if (!DbSession)
        return out;
    nbk::data::Class1 &s = *DbSession;
    auto tell = [&](const char *text, int style, const char *title) {
        out.notices.push_back({QString::fromLatin1(text), style, QString::fromLatin1(title)});
        return out;
    };
    s.setupGetCustomerForDelete();
    const std::optional<qint64> id = parseCustomerId(cid);
    if (!id) {
        out.focus = nbk::Focus::CustomerId;
        return tell(MSG_INVALID_ID, mb::Critical | mb::OKOnly, "Error");
    }
    const QString idText = QString::number(*id);
    nbk::data::Command &lookup = s.SQLcmdGetCustomerForDelete();
    lookup.setValue(0, *id);

    bool whole = false;
    qint32 seatsCancelled = 0;
    try {
        // rolls the cancellation back on every way out that does not commit it; refused
        // while another task's changes are pending (ending them is not this task's)
        nbk::data::Transaction tx(s, QStringLiteral("the cancellation of customer %1").arg(idText));
        if (!tx.isOpen()) {
            out.notices.push_back({tx.refusal(), mb::Critical | mb::OKOnly, QStringLiteral("Error")});
            return out;
        }
        nbk::data::Connection &cn = s.GetCurrentConnection();
        nbk::data::RowTable rows;
        try {
            // Another clerk cancelling the same customer holds these rows until done.
            cn.execute(lockStatement(*id));
            rows = lookup.execute().getRows();
        } catch (const DbException &e) {
            if (!isLockRefusal(e))
                throw;
            tx.rollback();
            return tell(MSG_UNDER_UPDATE, mb::Information | mb::OKOnly, "State");
        }
        if (rows.isEmpty()) {
            tx.commit();
            return tell(MSG_NOT_FOUND, mb::Critical | mb::OKOnly, "Error");
        }
        const int n = rows.rowCount();
        whole = k == 0 || k >= n;
        const int cancelled = whole ? n : k;
        const Charge charge = chargeNow(cn, *id);
        const SeatFares fares = seatFares(cn, *id);
        double fareHeld = 0;
        // No is the default: Enter pressed once too often cancels nothing
        if (!confirm({confirmationText(cn, cid.trimmed(), *id, rows, cancelled, charge, fares, &fareHeld),
                      mb::Question | mb::YesNo | mb::DefaultButton2, QStringLiteral("Confirm")})) {
            tx.rollback();
            return out;
        }
        if (charge.applies) {
            // recorded before the fare and seats change, as the database's rule asks; the
            // charge is the one the clerk agreed to, or nothing happens
            if (chargeNow(cn, *id).share != charge.share)
                throw DbException(DbError{0, QString::fromLatin1(MSG_CHARGE_MOVED)});
            const double after = whole ? 0.0 : fareHeld - fares.of(rows, cancelled, fareHeld);
            const double returned = fareHeld - after;
            const double retained = retainedOf(returned, charge.share);
            change(cn,
                   QString::fromLatin1(SQL_CHARGE)
                       .arg(idText)
                       .arg(cancelled)
                       .arg(QString::number(fareHeld, 'g', 17), QString::number(after, 'g', 17),
                            QString::number(charge.share, 'g', 17), QString::number(retained, 'g', 17),
                            QString::number(returned - retained, 'g', 17)),
                   1);
        }
        // Seats go back to the run they were held on (one run per reservation).
        QMap<qint64, int> freed;
        for (int i = 0; i < cancelled; ++i)
            ++freed[qint64(nbk::CLng(rows.at(1, i)))];

        if (whole) {
            if (fares.mixed())
                change(cn, QString::fromLatin1(SQL_CONCESSIONS_DELETE) + idText, int(fares.concession.size()));
            change(cn, QString::fromLatin1(SQL_DELETE_SEATS) + idText, n);
            change(cn, QString::fromLatin1(SQL_DELETE_CUSTOMER) + idText, 1);
        } else if (fares.mixed()) {
            // the cancelled seats' own fares go, each concession seat's record with it
            const double after = fareHeld - fares.of(rows, cancelled, fareHeld);
            change(cn, QString::fromLatin1(SQL_FARE_SET).arg(QString::number(after, 'g', 17), idText), 1);
            for (int i = 0; i < k; ++i) {
                const QString seat = QString::number(nbk::CLng(rows.at(0, i)));
                if (fares.concession.contains(nbk::CLng(rows.at(0, i))))
                    change(cn, QString::fromLatin1(SQL_CONCESSIONS_DELETE) + idText +
                                   QString::fromLatin1(SQL_DELETE_SEAT) + seat,
                           1);
                change(cn, QString::fromLatin1(SQL_DELETE_SEATS) + idText + QString::fromLatin1(SQL_DELETE_SEAT) + seat,
                       1);
            }
        } else {
            // runs while all n seat rows exist: fare - k * fare / n
            change(cn,
                   QString::fromLatin1(SQL_FARE_1) + QString::number(k) + QString::fromLatin1(SQL_FARE_2) + idText +
                       QString::fromLatin1(SQL_FARE_3) + idText + QString::fromLatin1(SQL_FARE_4) + idText,
                   1);
            for (int i = 0; i < k; ++i)
                change(cn,
                       QString::fromLatin1(SQL_DELETE_SEATS) + idText + QString::fromLatin1(SQL_DELETE_SEAT) +
                           QString::number(nbk::CLng(rows.at(0, i))),
                       1);
        }
        for (auto it = freed.cbegin(); it != freed.cend(); ++it)
            change(cn,
                   QString::fromLatin1(SQL_FREE_SEATS_1) + QString::number(it.value()) +
                       QString::fromLatin1(SQL_FREE_SEATS_2) + QString::number(it.key()),
                   1);
        tx.commit();
        seatsCancelled = cancelled;
    } catch (const std::exception &e) {
        // the transaction has rolled everything back as it unwound
        out.notices.push_back({QString::fromLatin1(MSG_FAILED) + QStringLiteral("\r\n") + QString::fromUtf8(e.what()),
                               mb::Critical | mb::OKOnly, QStringLiteral("Error")});
        return out;
    }

    // Told only once the change is committed, so a failure is never reported as done.
    out.cancelled = seatsCancelled;
    out.closeWindow = whole;
    if (whole)
        return tell(MSG_DONE, mb::Information | mb::OKOnly, "Information");
    out.notices.push_back({worded(MSG_SEATS_DELETED).arg(seatsCancelled), mb::OKOnly,
                           QStringLiteral("Done.")});
    return out;
}

