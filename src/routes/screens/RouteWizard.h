#pragma once
#include "data/session/Transaction.h"
#include "routes/StoreRoute.h"

#include <QObject>
#include <QPointer>

class QWidget;
class frmAddRoute;
class SetFrequency;
class SetClass;

// One addition or edit of a route across its three screens: the mode and route number
// it was opened for and the one transaction from the route entry's Next >> to the
// classes' OK. Owned by the route entry screen; the other two reach it through it.
class RouteWizard : public QObject {
    Q_OBJECT
public:
    RouteWizard(bool editing, qint32 routeId, QObject *parent = nullptr);

    bool editing() const { return editing_; }
    qint32 routeId() const { return routeId_; }
    void setRouteId(qint32 id) { routeId_ = id; }

    // Begins this pass's transaction (a pass left open is rolled back first); false after
    // telling the supervisor that another task's changes are pending.
    bool begin();
    bool isOpen() const { return tx_.isOpen(); }
    void rollback() { tx_.rollback(); }
    // Throws DbException when the database refuses (everything is rolled back then).
    void commit() { tx_.commit(); }

    // Shows a step's outcome on `screen`: its message, the focus, and a roll-back that
    // takes the supervisor back to the route entry. False when the step failed.
    bool show(const nbk::routes::Outcome &o, QWidget *screen);
    // The box of the three screens that a focus names (null: none, or its screen is gone).
    QWidget *control(nbk::Focus f) const;
    // Back, Start over: everything of this pass undone, the route entry shown as it was.
    void backToEntry(QWidget *from);
    // Hands over from one screen to the next.
    static void moveOn(QWidget *from, QWidget *to);
    // Every way of closing one screen closes the three, rolled back unless committed.
    void closeAll();

    QPointer<frmAddRoute> entry;
    QPointer<SetFrequency> frequency;
    QPointer<SetClass> classes;

private:
    bool editing_;
    qint32 routeId_;
    nbk::data::Transaction tx_;
};
