#pragma once
#include <QStringList>
#include <QWidget>

class QAbstractButton;

// The map of the region on the route entry screen: one caption-less, clickable spot per
// city (objectName = the city's name) and the typed route drawn through the places known.
class RouteMap : public QWidget {
    Q_OBJECT
public:
    explicit RouteMap(QWidget *parent = nullptr);

    // The spot of that name, or null.
    QAbstractButton *spot(const QString &name) const;
    QStringList spotNames() const;
    // The places of the typed sequence, in order; drawn as a line through those the map
    // knows (by full name, letter case ignored).
    void showSequence(const QStringList &placeNames);

signals:
    // A spot was clicked (Hubli has no action and never emits).
    void spotClicked(const QString &name);

private:
    QStringList sequence_;
};
