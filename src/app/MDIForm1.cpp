#include "app/MDIForm1.h"

#include "common/Globals.h"
#include "data/session/Class1.h"
#include "data/schema/SchemaVersion.h"
#include "ui/MsgBox.h"
#include "version/Version.h"
#include "ui/ScreenRegistry.h"
#include "ui/ChildWindows.h"
#include "ui/Twips.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>

namespace nbk::app {

namespace {
constexpr QSize kMinimumAreaTwips(13800, 8400);

// A quiet tiled backdrop: the corporation's initials, faint on dusk blue, staggered so
// the tiles join without seams.
QPixmap backgroundPicture()
{
    QPixmap pm(360, 240);
    pm.fill(QColor(30, 50, 84));
    QPainter p(&pm);
    QFont f = p.font();
    f.setPointSize(24);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(255, 255, 255, 24));
    p.drawText(QRect(0, 0, 180, 120), Qt::AlignCenter, QStringLiteral("N.B.K"));
    p.drawText(QRect(180, 120, 180, 120), Qt::AlignCenter, QStringLiteral("N.B.K"));
    return pm;
}
}  // namespace

MDIForm1::MDIForm1(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MDIForm1"));
    setWindowTitle(QStringLiteral("N.B.K Reservation System"));
    mdi_ = new QMdiArea(this);
    mdi_->setObjectName(QStringLiteral("MDIClient"));
    mdi_->setBackground(QBrush(backgroundPicture()));
    // a child window that does not fit is reached by scrolling, never cut off
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // room for the largest task screen, the route entry with its map
    mdi_->setMinimumSize(ui::twipsToPixels(kMinimumAreaTwips.width(), kMinimumAreaTwips.height()));
    setCentralWidget(mdi_);
    ui::setMdiArea(mdi_);
    buildMenus();
    resize(1024, 720);
}

MDIForm1::~MDIForm1()
{
    if (ui::mdiArea() == mdi_)
        ui::setMdiArea(nullptr);
}

QMenu *MDIForm1::addMenu(QMenu *parent, const QString &name, const QString &caption)
{
    QMenu *m = parent ? parent->addMenu(caption) : menuBar()->addMenu(caption);
    m->setObjectName(name);
    m->menuAction()->setObjectName(name);
    items_.insert(name, m->menuAction());
    return m;
}

QAction *MDIForm1::addItem(QMenu *menu, const QString &name, const QString &caption, void (MDIForm1::*slot)())
{
    QAction *a = menu->addAction(caption);
    a->setObjectName(name);
    items_.insert(name, a);
    if (slot)
        connect(a, &QAction::triggered, this, slot);
    return a;
}

QAction *MDIForm1::addItem(QMenu *menu, const QString &name, const QString &caption, const QString &screen)
{
    QAction *a = addItem(menu, name, caption, nullptr);
    // a screen that is not available opens nothing
    connect(a, &QAction::triggered, this, [screen] { openScreen(screen); });
    return a;
}

void MDIForm1::addSeparator(QMenu *menu, const QString &name)
{
    QAction *a = menu->addSeparator();
    a->setObjectName(name);
    items_.insert(name, a);
}

void MDIForm1::buildMenus()
{
    QMenu *connectMenu = addMenu(nullptr, QStringLiteral("mnuConnect"), tr("&Connection"));
    addItem(connectMenu, QStringLiteral("mnuConnectConnect"), tr("Connect to &Server"),
            &MDIForm1::connectToServer);
    addItem(connectMenu, QStringLiteral("mnuConnectDisconnect"), tr("&Disconnect from Server"),
            &MDIForm1::disconnectFromServer);
    addSeparator(connectMenu, QStringLiteral("mnuConnectSeparator"));
    addItem(connectMenu, QStringLiteral("mnuConnectionExit"), tr("E&xit"), &MDIForm1::exitProgram);

    QMenu *reserve = addMenu(nullptr, QStringLiteral("mnuReserve"), tr("&Reservation"));
    addItem(reserve, QStringLiteral("mnuReserveReserve"), tr("&Make Reservation"),
            QStringLiteral("frmReservation"));
    addItem(reserve, QStringLiteral("mnuReserveCancel"), tr("Ca&ncel Reservation"),
            QStringLiteral("frmCancel"));
    addItem(reserve, QStringLiteral("mnuReserveFind"), tr("&Find Booking"),
            QStringLiteral("frmFindBooking"));
    addSeparator(reserve, QStringLiteral("mnuReserveSeparator"));
    addItem(reserve, QStringLiteral("mnuReserveEnquiry"), tr("&Enquiry"), QStringLiteral("frmEnquiry"));

    QMenu *route = addMenu(nullptr, QStringLiteral("mnuRoute"), tr(" Route-&Management "));
    QMenu *routeRoute = addMenu(route, QStringLiteral("mnuRouteRoute"), tr("Ro&ute               "));
    addItem(routeRoute, QStringLiteral("mnuRouteRouteAdd"), tr("&Add Route"), &MDIForm1::routeAdd);
    addItem(routeRoute, QStringLiteral("mnuRouteRouteDelete"), tr("&Delete Route"),
            &MDIForm1::routeDelete);
    addItem(route, QStringLiteral("mnuRouteEdit"), tr("&Edit Route"), &MDIForm1::routeEdit);
    // the supervisor's, as the whole menu is
    addItem(route, QStringLiteral("mnuRouteCharges"), tr("&Charges and Fare Categories"),
            QStringLiteral("frmCharges"));

    QMenu *report = addMenu(nullptr, QStringLiteral("mnuReport"), tr("Report&s"));
    addItem(report, QStringLiteral("mnuReportTicket"), tr("&Current Ticket"), QStringLiteral("Ticket"));
    addItem(report, QStringLiteral("mnuReportStatus"), tr("Reservation S&tatus"),
            QStringLiteral("BusMatrix"));
    addItem(report, QStringLiteral("mnuReportWaitList"), tr("&Passenger List"),
            QStringLiteral("DataReport1"));
    addSeparator(report, QStringLiteral("mnuReportSeparator"));
    addItem(report, QStringLiteral("mnuReportManifest"), tr("Conductor's Mani&fest"),
            QStringLiteral("Manifest"));
    addItem(report, QStringLiteral("mnuReportTT"), tr("Tim&e Table"), QStringLiteral("TimeTable"));
    addItem(report, QStringLiteral("mnuReportSMatrix"), tr("Bus Seat &Matrix"),
            QStringLiteral("BusMatrix"));
    addItem(report, QStringLiteral("mnuReportBRoute"), tr("Bus Route Ma&p"), QStringLiteral("RouteTest"));
    addSeparator(report, QStringLiteral("mnuReportSeparator2"));
    addItem(report, QStringLiteral("mnuReportAR"), tr("Accide&nt Report "), QStringLiteral("ARF"));
    addItem(report, QStringLiteral("mnuReportStatement"), tr("&Day Statement"),
            QStringLiteral("DayStatement"));
    addItem(report, QStringLiteral("mnuReportShiftClose"), tr("C&lose Shift"), QStringLiteral("ShiftClose"));

    QMenu *help = addMenu(nullptr, QStringLiteral("mnuHelp"), tr("&Help"));
    addItem(help, QStringLiteral("mnuHelpContents"), tr("C&ontents"), nullptr);
    addItem(help, QStringLiteral("mnuHelpAbout"), tr("&About"), &MDIForm1::showAbout);
}

QAction *MDIForm1::menuItem(const QString &name) const { return items_.value(name, nullptr); }

void MDIForm1::load()
{
    if (!IsConnected)
        openScreen(QStringLiteral("Login"));
}

void MDIForm1::connectToServer()
{
    if (!IsConnected)
        openScreen(QStringLiteral("Login"));
}

void MDIForm1::disconnectFromServer()
{
    // a screen that refuses to close (unsaved work the clerk keeps) keeps the session
    if (!closeChildWindows())
        return;
    // end an open booking or route change cleanly instead of leaving it to the close
    if (DbSession) {
        DbSession->AbandonAllWork();
        DbSession->CloseConnection();
    }
    IsConnected = false;
    close();
}

void MDIForm1::exitProgram()
{
    if (!closeChildWindows())
        return;
    if (DbSession) {
        DbSession->AbandonAllWork();
        if (IsConnected)
            DbSession->CloseConnection();
    }
    close();
}

void MDIForm1::showAbout()
{
    // the session's slot holds 0 until a login has read the database's version
    QString recorded = QStringLiteral("not connected");
    if (IsConnected && DbSession)
        recorded = DbSession->SchemaVersion() > 0 ? QStringLiteral("version %1").arg(DbSession->SchemaVersion())
                                                  : QStringLiteral("no version recorded");
    const QString text = QStringLiteral("N.B.K Reservation System\n"
                                        "nbk-reservation %1\n\n"
                                        "Database schema of this program: version %2\n"
                                        "Connected database: %3")
                             .arg(QLatin1String(version::kText))
                             .arg(data::schema::kCurrentVersion)
                             .arg(recorded);
    ui::MsgBox(text, mb::Information | mb::OKOnly, QStringLiteral("About N.B.K Reservation System"));
}

void MDIForm1::routeAdd()
{
    RouteEditMode = false;
    RouteAddMode = true;
    RouteDeleteMode = false;
    openScreen(QStringLiteral("frmAddRoute"));
}

void MDIForm1::routeDelete()
{
    RouteEditMode = false;
    RouteAddMode = false;
    RouteDeleteMode = true;
    openScreen(QStringLiteral("frmEditRoute"));
}

void MDIForm1::routeEdit()
{
    // the search screen opens first and reads the flags the last route item left
    openScreen(QStringLiteral("frmEditRoute"));
    RouteEditMode = true;
    RouteAddMode = false;
    RouteDeleteMode = false;
}

bool MDIForm1::closeChildWindows()
{
    for (QMdiSubWindow *sub : mdi_->subWindowList()) {
        if (!sub->close())
            return false;
    }
    return true;
}

void MDIForm1::closeEvent(QCloseEvent *e)
{
    if (closed_) {
        e->accept();
        return;
    }
    if (!closeChildWindows()) {
        e->ignore();
        return;
    }
    if (DbSession)
        DbSession->AbandonAllWork();
    closed_ = true;
    e->accept();
}

}  // namespace nbk::app
