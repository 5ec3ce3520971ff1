#include "reservation/screens/frmPlaces.h"
#include "ui/Notices.h"

#include "ui/ScreenRegistry.h"
#include "common/SharedRoutines.h"
#include "reservation/FindBusInstances.h"
#include "reservation/screens/HandlerFailure.h"
#include "reservation/screens/SearchFlow.h"
#include "reservation/screens/frmReservation.h"
#include "common/ReservationState.h"
#include "ui/ChildWindows.h"
#include "reservation/screens/BusPicture.h"
#include "ui/Keys.h"
#include "ui/MsgBox.h"
#include "ui/WholeEntries.h"
#include "ui/Twips.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace {
QPushButton *button(QWidget *parent, const char *name, const char *caption)
{
    auto *b = new QPushButton(QString::fromLatin1(caption), parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

frmReservation *showRequestScreen()
{
    auto *f = qobject_cast<frmReservation *>(nbk::openScreen(QStringLiteral("frmReservation")));
    if (f)
        f->showAgain();
    return f;
}
}  // namespace

frmPlaces::frmPlaces(QWidget *parent) : nbk::ui::Screen(parent)
{
    setWindowTitle(QStringLiteral("Confirm Start and Destination"));
    cmbFrom = new QComboBox(this);
    cmbFrom->setObjectName(QStringLiteral("cmbFrom"));
    cmbTo = new QComboBox(this);
    cmbTo->setObjectName(QStringLiteral("cmbTo"));
    // full place names are never cut
    for (QComboBox *c : {cmbFrom, cmbTo})
        nbk::ui::keepEntriesWhole(c);
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    const QSize picture(nbk::ui::twipsToDeviceX(2880, *this), nbk::ui::twipsToDeviceY(2400, *this));
    Image1->setMinimumSize(picture);
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setPixmap(BusPicture(picture, devicePixelRatioF()));
    cmdBack = button(this, "cmdBack", "<< Back");
    cmdNext = button(this, "cmdNext", "Next >>");
    cmdCancel = button(this, "cmdCancel", "Cancel");

    auto *g = new QGridLayout(this);
    g->addWidget(Image1, 0, 0, 3, 1);
    g->addWidget(new QLabel(QStringLiteral("From"), this), 0, 1);
    g->addWidget(cmbFrom, 0, 2);
    g->addWidget(new QLabel(QStringLiteral("To"), this), 1, 1);
    g->addWidget(cmbTo, 1, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdBack);
    buttons->addWidget(cmdNext);
    buttons->addWidget(cmdCancel);
    g->addLayout(buttons, 3, 0, 1, 3);
    // the lists take the width, the picture and the labels keep theirs
    g->setColumnStretch(2, 1);
    g->setRowStretch(2, 1);
    g->setHorizontalSpacing(12);

    setWindowState(Qt::WindowNoState);
    nbk::ui::sizeInTwips(this, 8325, 6885);
    cmbFrom->clear();
    cmbTo->clear();

    connect(cmdNext, &QPushButton::clicked, this, &frmPlaces::cmdNext_Click);
    connect(cmdBack, &QPushButton::clicked, this, &frmPlaces::cmdBack_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmPlaces::cmdCancel_Click);
    nbk::ui::setDialogKeys(this, cmdNext, cmdCancel);
    cmbFrom->setFocus();
}

void frmPlaces::fill(const nbk::reservation::ReservationState &request, const QStringList &fromNames,
                     const QStringList &toNames, int fromChoice, int toChoice)
{
    request_ = request;
    cmbFrom->clear();
    cmbFrom->addItems(fromNames);
    cmbFrom->setCurrentIndex(fromChoice);
    cmbTo->clear();
    cmbTo->addItems(toNames);
    cmbTo->setCurrentIndex(toChoice);
}

void frmPlaces::cmdNext_Click()
{
    if (cmbFrom->currentIndex() < 0 || cmbTo->currentIndex() < 0)
        return;
    if (!nbk::reservation::nothingPending())
        return;
    request_.OriginChoice = qint16(cmbFrom->currentIndex());
    request_.DestinationChoice = qint16(cmbTo->currentIndex());
    const bool distinct = CheckDistinctPlaces(request_, request_.OriginChoice, request_.DestinationChoice);
    // the screen is gone once closed: what follows works on its own copy
    nbk::reservation::ReservationState request = request_;
    nbk::ui::closeChildWindow(this);
    if (!distinct) {
        // back to the request, whose places the clerk can correct
        showRequestScreen();
        return;
    }
    // the request stays (hidden): a search that fails brings it back as the clerk typed it
    try {
        // an enquiry's search is never restricted to a route
        QString anyRoute;
        SearchOutcome found = FindBusInstances(request, request.EnquiryMode ? anyRoute : request.RouteIdText,
                                               nbk::confirmByMessageBox());
        nbk::reservation::showSearchOutcome(request, found);
    } catch (const std::exception &e) {
        ReportHandlerFailure(e);
    }
    // nothing ahead (a refused search, a booking that gave up): the request as typed
    frmReservation::resumeIfAbandoned();
}

void frmPlaces::cmdBack_Click()
{
    showRequestScreen();
    nbk::ui::closeChildWindow(this);
}

void frmPlaces::cmdCancel_Click()
{
    nbk::ui::closeChildWindow(this);
    nbk::closeScreen(QStringLiteral("frmReservation"));
}
