#pragma once
#include <QList>
#include <QPointF>
#include <QStringList>
#include <QWidget>

class QAbstractButton;

// The map of the region on the route entry screen: the state's outline drawn to the widget's
// size, one caption-less, clickable spot per city (objectName = the city's name) at its
// place, and the typed route drawn through the places known.
class RouteMap : public QWidget {
    Q_OBJECT
public:
    explicit RouteMap(QWidget *parent = nullptr);

    // The spot of that name, or null.
    QAbstractButton *spot(const QString &name) const;
    QStringList spotNames() const;
    // The places of the typed sequence, in order; drawn as a line through those the map
    // knows (by full name, letter case and surrounding blanks ignored).
    void showSequence(const QStringList &placeNames);

    // The line drawn for the sequence: widget coordinates of the known places, in order.
    QList<QPointF> routeLine() const;
    // The spots the sequence passes, by spot name, in order.
    QStringList routeSpots() const;
    // Widget coordinates of a point given in degrees at the current size.
    QPointF mapPoint(double longitude, double latitude) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // A spot was clicked (Hubli has no action and never emits).
    void spotClicked(const QString &name);

protected:
    void paintEvent(QPaintEvent *) override;
    void resizeEvent(QResizeEvent *) override;

private:
    void placeSpots();
    int spotDiameter() const;

    QStringList sequence_;
    QList<int> route_;  // indexes into the city table
};
