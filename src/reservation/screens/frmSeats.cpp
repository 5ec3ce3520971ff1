#include "reservation/screens/frmSeats.h"

#include "reservation/BookSeats.h"
#include "reservation/screens/HandlerFailure.h"
#include "reservation/screens/SearchFlow.h"
#include "reservation/screens/frmReservation.h"
#include "ui/ChildWindows.h"
#include "ui/Keys.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
QString markText(const SeatCell &c)
{
    QStringList t;
    if (c.window)
        t << QStringLiteral("window");
    if (c.mark == SeatMark::Women)
        t << QStringLiteral("kept for women");
    else if (c.mark == SeatMark::Senior)
        t << QStringLiteral("kept for senior citizens");
    if (c.released)
        t << QStringLiteral("released to everyone");
    if (c.held)
        t << QStringLiteral("held on this journey");
    return QStringLiteral("Seat %1").arg(c.seat) + (t.isEmpty() ? QString() : QStringLiteral(": ") + t.join(QStringLiteral(", ")));
}
}  // namespace

frmSeats *frmSeats::openFor(const nbk::reservation::ReservationState &request, qint16 row, const SeatPlan &plan)
{
    // a choice left open for another run gives way to this one
    if (QWidget *old = nbk::ui::findChildWindow(QStringLiteral("frmSeats")))
        old->close();
    return nbk::ui::openChildWindow<frmSeats>(QStringLiteral("frmSeats"),
                                              [&] { return new frmSeats(request, row, plan); });
}

frmSeats::frmSeats(const nbk::reservation::ReservationState &request, qint16 row, const SeatPlan &plan,
                   QWidget *parent)
    : Screen(parent), request_(request), row_(row), plan_(plan)
{
    setWindowTitle(QStringLiteral("Choose Seats"));
    auto *heading = new QLabel(QStringLiteral("Pick %1 seat(s): arrows move, Space picks, Enter books "
                                              "(nothing picked: the lowest free seats). W women, S senior citizens.")
                                   .arg(request.SeatsRequested),
                               this);
    heading->setWordWrap(true);
    lblPicked = new QLabel(this);
    lblPicked->setObjectName(QStringLiteral("lblPicked"));

    auto *grid = new QGridLayout;
    grid->setSpacing(4);
    const int aisle = plan_.layout.aisleAfter;
    const int across = std::max<int>(plan_.layout.across, 1);
    for (const SeatCell &c : plan_.cells) {
        auto *b = new QToolButton(this);
        b->setObjectName(QStringLiteral("seat%1").arg(c.seat));
        b->setText(seatCaption(c));
        b->setToolTip(markText(c));
        b->setCheckable(true);
        b->setEnabled(!c.held);
        b->setFocusPolicy(Qt::StrongFocus);
        b->setMinimumWidth(48);
        b->installEventFilter(this);
        // the aisle is an empty column after aisleAfter seats of a row
        grid->addWidget(b, c.row, c.column + (aisle > 0 && aisle < across && c.column >= aisle ? 1 : 0));
        const qint16 seat = c.seat;
        connect(b, &QToolButton::toggled, this, [this, seat](bool on) { toggled(seat, on); });
        buttons_.append(b);
    }
    if (aisle > 0 && aisle < across)
        grid->setColumnMinimumWidth(aisle, 24);

    cmdBook = new QPushButton(QStringLiteral("Book"), this);
    cmdBook->setObjectName(QStringLiteral("cmdBook"));
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdBook);
    buttons->addWidget(cmdCancel);

    auto *outer = new QVBoxLayout(this);
    outer->addWidget(heading);
    outer->addLayout(grid);
    outer->addWidget(lblPicked);
    outer->addStretch();
    outer->addLayout(buttons);

    connect(cmdBook, &QPushButton::clicked, this, [this] { cmdBook_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    nbk::ui::setDialogKeys(this, cmdBook, cmdCancel);
    const QList<qint16> free = plan_.freeSeats();
    if (!free.isEmpty())
        buttons_[free.first() - 1]->setFocus();
    showPicked();
}

QAbstractButton *frmSeats::seatButton(qint16 seat) const
{
    return seat >= 1 && seat <= buttons_.size() ? buttons_[seat - 1] : nullptr;
}

void frmSeats::toggled(qint16 seat, bool on)
{
    if (!on) {
        picked_.removeAll(seat);
    } else if (picked_.size() >= request_.SeatsRequested) {
        // no more seats than the reservation holds
        QSignalBlocker block(buttons_[seat - 1]);
        buttons_[seat - 1]->setChecked(false);
    } else if (!picked_.contains(seat)) {
        picked_.append(seat);
    }
    showPicked();
}

void frmSeats::showPicked()
{
    QStringList s;
    for (qint16 seat : picked_)
        s << QString::number(seat);
    lblPicked->setText(picked_.isEmpty() ? QStringLiteral("No seat picked: the lowest free seats are booked.")
                                         : QStringLiteral("Picked: ") + s.join(QStringLiteral(", ")));
}

qint16 frmSeats::neighbour(qint16 seat, int dr, int dc) const
{
    const SeatCell *from = plan_.cell(seat);
    if (!from)
        return seat;
    const int across = std::max<int>(plan_.layout.across, 1);
    for (int r = from->row + dr, c = from->column + dc; r >= 0 && c >= 0 && c < across; r += dr, c += dc) {
        const SeatCell *next = plan_.cell(qint16(r * across + c + 1));
        if (!next)
            break;
        if (!next->held)
            return next->seat;
    }
    return seat;
}

bool frmSeats::eventFilter(QObject *watched, QEvent *event)
{
    const int i = int(buttons_.indexOf(qobject_cast<QAbstractButton *>(watched)));
    if (i < 0 || event->type() != QEvent::KeyPress)
        return Screen::eventFilter(watched, event);
    const auto *k = static_cast<QKeyEvent *>(event);
    int dr = 0, dc = 0;
    switch (k->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        cmdBook->click();
        return true;
    case Qt::Key_Left: dc = -1; break;
    case Qt::Key_Right: dc = 1; break;
    case Qt::Key_Up: dr = -1; break;
    case Qt::Key_Down: dr = 1; break;
    default:
        return Screen::eventFilter(watched, event);
    }
    buttons_[neighbour(qint16(i + 1), dr, dc) - 1]->setFocus();
    return true;
}

void frmSeats::cmdBook_Click()
{
    if (!nbk::reservation::nothingPending())
        return;
    // Nothing picked: the lowest seats any passenger may have, not a seat kept for women or
    // senior citizens, which the database would refuse at Ok after the details were typed
    // (the lowest free seats make up the rest when too few are open).
    const QList<qint16> picked =
        picked_.isEmpty() && plan_.laidOut ? plan_.openSeats().mid(0, request_.SeatsRequested) : picked_;
    nbk::reservation::ReservationState request = request_;
    close();
    try {
        BookingOutcome booking = BookSeats(request, row_, picked);
        nbk::reservation::showBookingOutcome(booking);
    } catch (const std::exception &e) {
        ReportHandlerFailure(e);
    }
    // a booking that gave up leaves the request to correct
    frmReservation::resumeIfAbandoned();
}

void frmSeats::cmdCancel_Click()
{
    close();
    frmReservation::resumeIfAbandoned();
}
