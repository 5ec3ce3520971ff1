#include "routes/screens/OpenRouteForChange.h"

#include "common/Globals.h"
#include "ui/ScreenRegistry.h"
#include "data/dialect/DbError.h"
#include "data/dialect/SqlText.h"
#include "routes/DeleteRoute.h"
#include "routes/LoadRouteForChange.h"
#include "routes/screens/SetClass.h"
#include "routes/screens/SetFrequency.h"
#include "routes/screens/frmAddRoute.h"
#include "ui/MsgBox.h"
#include "ui/Notices.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

namespace {

const char *const MSG_DELETE_1 = "All Bus Instances servicing this route will also be \r\nRemoved. \r\n"
                                 "Are you sure you want to delete route  ";
const char *const MSG_WIZARD_BUSY =
    "A route is being added or edited. Complete or cancel it first, then try again. ";

using nbk::data::L;

void tellFailure(const char *head, const QString &why)
{
    nbk::ui::MsgBox(L(head) + why.trimmed(), nbk::mb::Critical | nbk::mb::OKOnly, QStringLiteral("Error"));
}

void show(const nbk::routes::Outcome &o)
{
    if (!o.notice.text.isEmpty())
        nbk::ui::MsgBox(o.notice.text, o.notice.style, o.notice.title);
}

void fillWizard(frmAddRoute &f, const nbk::routes::RouteForChange &r)
{
    f.txtr->setText(r.names);
    f.txtk->setText(r.kms);
    f.Text1->setText(r.name);
    if (r.timed) {
        f.Text2->setText(r.stopTime);
        f.Text3->setText(r.travelMins);
        f.cmbfpi->setCurrentIndex(r.fpiIndex);
    }
    if (SetFrequency *freq = f.frequency()) {
        for (const nbk::routes::DayTimetable &d : r.days) {
            const size_t k = size_t(d.day - 1);
            freq->DayCheck[k]->setChecked(true);
            QComboBox *interval = freq->DayDetail[3 * k];
            interval->clear();
            interval->setEditText(d.interval);
            freq->DayDetail[3 * k + 1]->setCurrentIndex(d.hour);
            freq->DayDetail[3 * k + 2]->setCurrentIndex(d.minute);
        }
    }
    if (SetClass *classes = f.classes())
        for (int box : r.classBoxes)
            classes->Check1[size_t(box)]->setChecked(true);
}

}  // namespace

qint16 openRouteForChange(qint16 routeId)
{
    if (!DbSession)
        return -2;
    const nbk::routes::RouteDescription names =
        nbk::routes::DescribeRoute(*DbSession, QString::number(routeId), QStringLiteral(", "), QStringLiteral("Names"));
    nbk::showNotices(names.notices);
    if (names.text.isEmpty())
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
                                               names.text + QStringLiteral(" ?"),
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
    const nbk::routes::RouteForChange route = nbk::routes::LoadRouteForChange(*DbSession, routeId, names.text);
    CurrentRouteId = routeId;
    RouteEditMode = true;
    RouteAddMode = false;
    nbk::showNotices(route.notices);
    if (!route.loaded)
        return -2;
    if (auto *f = qobject_cast<frmAddRoute *>(nbk::openScreen(QStringLiteral("frmAddRoute"))))
        fillWizard(*f, route);
    return 0;
}
