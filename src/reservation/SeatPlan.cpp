#include "reservation/SeatPlan.h"

#include "common/Clock.h"
#include "data/dialect/DbError.h"
#include "data/dialect/Numbers.h"
#include "data/session/Class1.h"
#include "operations/scheduling/RunTimes.h"

#include <algorithm>

const SeatCell *SeatPlan::cell(qint16 seat) const
{
    return seat >= 1 && seat <= cells.size() ? &cells[seat - 1] : nullptr;
}

QList<qint16> SeatPlan::freeSeats() const
{
    QList<qint16> out;
    for (const SeatCell &c : cells)
        if (!c.held)
            out.append(c.seat);
    return out;
}

QList<qint16> SeatPlan::openSeats() const
{
    QList<qint16> out;
    for (const SeatCell &c : cells)
        if (!c.held && (c.mark == SeatMark::None || c.released))
            out.append(c.seat);
    return out;
}

SeatPlan PlanSeats(const SeatLayout &layout, qint16 totalSeats, const QList<HeldStretch> &held, qint16 from,
                   qint16 to, const QDateTime &departure, const QDateTime &now)
{
    SeatPlan plan;
    plan.layout = layout;
    plan.laidOut = layout.across > 0;
    const int across = std::max<int>(layout.across, 1);
    const bool released = departure.isValid() && now >= departure.addSecs(-qint64(layout.releaseMinutes) * 60);
    for (qint16 seat = 1; seat <= totalSeats; ++seat) {
        SeatCell c;
        c.seat = seat;
        c.row = (seat - 1) / across;
        c.column = (seat - 1) % across;
        c.window = c.column == 0 || c.column == across - 1;
        c.mark = layout.marks.value(seat, SeatMark::None);
        c.released = c.mark != SeatMark::None && released;
        for (const HeldStretch &h : held)
            c.held = c.held || (h.seat == seat && h.from <= to && from <= h.to);
        plan.cells.append(c);
    }
    plan.rows = std::max<int>(layout.rows, totalSeats > 0 ? (totalSeats - 1) / across + 1 : 0);
    return plan;
}

SeatPlan RunSeatPlan(const nbk::reservation::ReservationState &r, qint16 row)
{
    SeatPlan none;
    if (!DbSession || row < 0 || row > r.SearchRows.lastRow() || r.SearchRows.fieldCount() < 6)
        return none;
    nbk::data::Connection &cn = DbSession->GetCurrentConnection();
    const qint32 run = nbk::CLng(r.SearchRows.at(0, row));
    SeatLayout layout;
    try {
        nbk::data::RowTable l =
            cn.query(QStringLiteral("SELECT l.seat_rows, l.seats_across, l.aisle_after, l.senior_age, l.release_minutes "
                                    "FROM seat_layout l JOIN bus_instance bi ON bi.class = l.class "
                                    "WHERE bi.instance_id = %1")
                         .arg(run))
                .getRows();
        if (l.rowCount() == 0)
            return none;
        layout = {nbk::CInt(l.at(0, 0)), nbk::CInt(l.at(1, 0)), nbk::CInt(l.at(2, 0)), l.at(3, 0).toDouble(),
                  nbk::CLng(l.at(4, 0)), {}};
        nbk::data::RowTable m = cn.query(QStringLiteral("SELECT m.seat_no, m.mark FROM seat_mark m JOIN bus_instance bi "
                                                        "ON bi.class = m.class WHERE bi.instance_id = %1")
                                             .arg(run))
                                    .getRows();
        for (int i = 0; i < m.rowCount(); ++i)
            layout.marks.insert(nbk::CInt(m.at(0, i)),
                                m.at(1, i).toString() == QLatin1String("women") ? SeatMark::Women : SeatMark::Senior);
    } catch (const nbk::data::DbException &) {
        return none;  // a database without layouts: the seats as they always were
    }
    nbk::data::RowTable total = cn.query(QStringLiteral("SELECT b.total_seats FROM bus_info b JOIN bus_instance bi "
                                                        "ON bi.registration = b.registration WHERE bi.instance_id = %1")
                                             .arg(run))
                                    .getRows();
    const qint16 seats = total.rowCount() ? qint16(std::clamp<double>(total.at(0, 0).toDouble(), 0, 200)) : 0;
    QList<HeldStretch> held;
    nbk::data::RowTable h = cn.query(QStringLiteral("SELECT seat_no, route_sequence1, route_sequence2 FROM seat_matrix "
                                                    "WHERE instance_id = %1")
                                         .arg(run))
                                .getRows();
    for (int i = 0; i < h.rowCount(); ++i)
        held.append({nbk::CInt(h.at(0, i)), nbk::CInt(h.at(1, i)), nbk::CInt(h.at(2, i))});
    return PlanSeats(layout, seats, held, nbk::CInt(r.SearchRows.at(3, row)), nbk::CInt(r.SearchRows.at(4, row)),
                     nbk::runDeparture(r.SearchRows.at(5, row).toString()), nbk::currentDateTime());
}

QString seatCaption(const SeatCell &c)
{
    if (c.held)
        return QStringLiteral("--");
    QString t = QString::number(c.seat);
    if (c.mark == SeatMark::Women)
        t += QStringLiteral(" W");
    else if (c.mark == SeatMark::Senior)
        t += QStringLiteral(" S");
    if (c.released)
        t += QStringLiteral(" open");
    return t;
}
