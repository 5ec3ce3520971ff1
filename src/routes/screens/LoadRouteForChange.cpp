#include "routes/screens/LoadRouteForChange.h"

#include "common/Globals.h"
#include "ui/ScreenRegistry.h"
#include "data/DbError.h"
#include "data/SqlText.h"
#include "data/MessageHook.h"
#include "data/Numbers.h"
#include "routes/DeleteRoute.h"
#include "routes/DescribeRoute.h"
#include "routes/screens/SetClass.h"
#include "routes/screens/SetFrequency.h"
#include "routes/StoreSchedule.h"
#include "routes/screens/frmAddRoute.h"
#include "ui/MsgBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

namespace {

const char *const MSG_DELETE_1 = "All Bus Instances servicing this route will also be \r\nRemoved. \r\n"
                                 "Are you sure you want to delete route  ";
const char *const MSG_WIZARD_BUSY =
    "A route is being added or edited. Complete or cancel it first, then try again. ";
const char *const SQL_ROUTE_1 = "SELECT FPI,StopTime,Travelmins from route ";
const char *const SQL_ROUTE_2 = "Where route_id=";
const char *const SQL_FREQUENCY_1 = "SELECT * from ";
const char *const SQL_FREQUENCY_2 = "route_frequency rf Where ";
const char *const SQL_FREQUENCY_3 = "rf.route_id = ";
const char *const SQL_CLASSES_1 = "SELECT * from ";
const char *const SQL_CLASSES_2 = "service_class sc Where ";
const char *const SQL_CLASSES_3 = "sc.route_id = ";

using nbk::data::L;

void tellFailure(const char *head, const QString &why)
{
    nbk::ui::MsgBox(L(head) + why.trimmed(), nbk::mb::Critical | nbk::mb::OKOnly, QStringLiteral("Error"));
}

void show(const nbk::routes::Outcome &o)
{
    if (!o.text.isEmpty())
        nbk::ui::MsgBox(o.text, o.style, o.title);
}

void fillWizard(frmAddRoute &f, qint16 routeId, const QString &names, const QString &kms)
{
    nbk::data::Connection &cn = DbSession->GetCurrentConnection();
    const QString id = QString::number(routeId);
    nbk::data::ResultSet route = cn.query(L(SQL_ROUTE_1) + L(SQL_ROUTE_2) + id);
    f.txtr->setText(names);
    f.txtk->setText(kms);
    if (!route.eof()) {
        f.Text2->setText(nbk::shortestDecimal(route.value(1).toDouble()));
        f.Text3->setText(nbk::shortestDecimal(route.value(2).toDouble()));
        f.cmbfpi->setCurrentIndex(nbk::CInt(route.value(0)) - 1);
    }
    route.close();

    SetFrequency *freq = f.frequency();
    nbk::data::RowTable days = cn.query(L(SQL_FREQUENCY_1) + L(SQL_FREQUENCY_2) + L(SQL_FREQUENCY_3) + id).getRows();
    for (int r = 0; freq && r < days.rowCount(); ++r) {
        const int day = nbk::CInt(days.at(1, r));
        if (day < 1 || day > 8)
            continue;
        const size_t k = size_t(day - 1);
        freq->DayCheck[k]->setChecked(true);
        QComboBox *interval = freq->DayDetail[3 * k];
        interval->clear();
        interval->setEditText(nbk::shortestDecimal(days.at(2, r).toDouble()));
        freq->DayDetail[3 * k + 1]->setCurrentIndex(nbk::CInt(days.at(3, r)));
        freq->DayDetail[3 * k + 2]->setCurrentIndex(nbk::CInt(days.at(4, r)));
    }

    SetClass *classes = f.classes();
    nbk::data::RowTable rows = cn.query(L(SQL_CLASSES_1) + L(SQL_CLASSES_2) + L(SQL_CLASSES_3) + id).getRows();
    for (int r = 0; classes && r < rows.rowCount(); ++r) {
        const int day = nbk::CInt(rows.at(1, r));
        const int c = nbk::CInt(rows.at(2, r));
        if (day >= 1 && day <= 8 && c >= 0 && c <= 4)
            classes->Check1[size_t(nbk::routes::classBox(c, day))]->setChecked(true);
    }
}

}  // namespace

qint16 LoadRouteForChange(qint16 routeId)
{
    if (!DbSession)
        return -2;
    const QString names = DescribeRoute(QString::number(routeId), QStringLiteral(", "), QStringLiteral("Names"));
    if (names.isEmpty())
        return -2;

    if (RouteDeleteMode) {
        CurrentRouteId = routeId;
        // a route whose runs hold reservations is not offered for deletion at all
        try {
            const nbk::routes::Outcome refused =
                nbk::routes::RefuseDeletionWithBookings(routeId, nbk::routes::BookingsOnRoute(*DbSession, routeId));
            if (!refused.ok) {
                show(refused);
                return 0;
            }
        } catch (const nbk::data::DbException &e) {
            tellFailure("The route could not be read from the database.\r\n", e.error().description);
            return 0;
        }
        const int answer = nbk::ui::MsgBox(L(MSG_DELETE_1) + QString::number(routeId) + QStringLiteral(":\r\n") +
                                               names + QStringLiteral(" ?"),
                                           nbk::mb::YesNo | nbk::mb::Information | nbk::mb::DefaultButton2);
        if (answer == nbk::mb::Yes)
            show(nbk::routes::DeleteRoute(*DbSession, routeId));
        return 0;
    }

    // one wizard at a time: another one's unfinished route would be refilled under it
    if (nbk::findScreen(QStringLiteral("frmAddRoute"))) {
        nbk::ui::MsgBox(L(MSG_WIZARD_BUSY), nbk::mb::Critical | nbk::mb::OKOnly, QStringLiteral("Error"));
        return -2;
    }
    const QString kms = DescribeRoute(QString::number(routeId), QStringLiteral(", "), QStringLiteral("KM"));
    CurrentRouteId = routeId;
    RouteEditMode = true;
    RouteAddMode = false;
    auto *f = qobject_cast<frmAddRoute *>(nbk::openScreen(QStringLiteral("frmAddRoute")));
    if (!f)
        return 0;
    try {
        fillWizard(*f, routeId, names, kms);
    } catch (const std::exception &e) {
        tellFailure("The route could not be read from the database.\r\n", QString::fromUtf8(e.what()));
        f->close();
        return -2;
    }
    return 0;
}
