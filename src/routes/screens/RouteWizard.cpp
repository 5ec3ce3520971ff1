#include "routes/screens/RouteWizard.h"

#include "data/session/Class1.h"
#include "routes/screens/SetClass.h"
#include "routes/screens/SetFrequency.h"
#include "routes/screens/frmAddRoute.h"
#include "ui/ChildWindows.h"
#include "ui/MsgBox.h"

#include <QComboBox>
#include <QLineEdit>
#include <QWidget>

RouteWizard::RouteWizard(bool editing, qint32 routeId, QObject *parent)
    : QObject(parent), editing_(editing), routeId_(routeId)
{
}

bool RouteWizard::begin()
{
    tx_.rollback();
    if (!DbSession)
        return false;
    const QString task = editing_ ? QStringLiteral("the editing of route %1").arg(routeId_)
                                  : QStringLiteral("the route being added");
    try {
        tx_ = nbk::data::Transaction(*DbSession, task);
    } catch (const std::exception &e) {
        show(nbk::routes::databaseFailure(QString::fromUtf8(e.what())), nullptr);
        return false;
    }
    if (!tx_.isOpen()) {
        nbk::ui::MsgBox(tx_.refusal(), nbk::mb::Critical | nbk::mb::OKOnly, QStringLiteral("Error"));
        return false;
    }
    return true;
}

bool RouteWizard::show(const nbk::routes::Outcome &o, QWidget *screen)
{
    if (o.rollBack)
        tx_.rollback();
    if (!o.notice.text.isEmpty())
        nbk::ui::MsgBox(o.notice.text, o.notice.style, o.notice.title);
    if (o.ok)
        return true;
    if (o.rollBack && screen != entry.data())
        backToEntry(screen);
    else if (QWidget *w = control(o.focus); w && screen && screen->isAncestorOf(w))
        w->setFocus();
    return false;
}

QWidget *RouteWizard::control(nbk::Focus f) const
{
    using nbk::Focus;
    if (const int k = nbk::intervalRow(f); k >= 0)
        return frequency ? frequency->DayDetail[size_t(3 * k)] : nullptr;
    if (!entry)
        return nullptr;
    switch (f) {
    case Focus::RouteSequence: return entry->txtr;
    case Focus::RouteDistances: return entry->txtk;
    case Focus::StopTime: return entry->Text2;
    case Focus::TravelTime: return entry->Text3;
    case Focus::Speed: return entry->Text4;
    default: return nullptr;
    }
}

void RouteWizard::backToEntry(QWidget *from)
{
    tx_.rollback();
    moveOn(from, entry);
}

void RouteWizard::moveOn(QWidget *from, QWidget *to)
{
    if (to)
        nbk::ui::showChildWindow(to);
    if (from && from != to)
        nbk::ui::hideChildWindow(from);
}

void RouteWizard::closeAll()
{
    tx_.rollback();
    // each screen's close comes back here; closed screens close at once
    const QPointer<RouteWizard> self(this);
    for (QWidget *w : {static_cast<QWidget *>(classes.data()), static_cast<QWidget *>(frequency.data()),
                       static_cast<QWidget *>(entry.data())}) {
        if (w)
            nbk::ui::closeChildWindow(w);
        if (!self)
            return;
    }
}
