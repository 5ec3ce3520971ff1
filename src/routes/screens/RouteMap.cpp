#include "routes/screens/RouteMap.h"

#include "routes/MapOutline.h"

#include <QAbstractButton>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace {

enum class Side { Right, Left, Above, Below };

struct City {
    const char *spot;     // objectName of the spot
    const char *label;    // painted beside the spot
    const char *alias;    // another spelling typed for it, or null
    double lat, lon;      // degrees north / east
    Side side;            // where the label goes, away from crowded neighbours
};

// Hubli last: it is the spot without a click action.
const City kCities[] = {
    {"Bangalore", "Bangalore", nullptr, 12.97, 77.59, Side::Below},
    {"Belgaum", "Belgaum", nullptr, 15.85, 74.50, Side::Right},
    {"Bellary", "Bellary", nullptr, 15.14, 76.92, Side::Right},
    {"Bidar", "Bidar", nullptr, 17.91, 77.52, Side::Right},
    {"Bijapur", "Bijapur", nullptr, 16.83, 75.71, Side::Right},
    {"Chickmagalur", "Chickmagalur", nullptr, 13.32, 75.77, Side::Left},
    {"Chitradurga", "Chitradurga", nullptr, 14.23, 76.40, Side::Right},
    {"Davangere", "Davangere", nullptr, 14.46, 75.92, Side::Left},
    {"Dharwad", "Dharwad", nullptr, 15.46, 75.01, Side::Left},
    {"Gulbarga", "Gulbarga", nullptr, 17.33, 76.83, Side::Right},
    {"Hampi", "Hampi", nullptr, 15.33, 76.46, Side::Above},
    {"Hassan", "Hassan", nullptr, 13.01, 76.10, Side::Right},
    {"Kadur", "Kadur", nullptr, 13.55, 76.01, Side::Right},
    {"Karwar", "Karwar", nullptr, 14.81, 74.13, Side::Right},
    {"Kolar", "Kolar", nullptr, 13.14, 78.13, Side::Right},
    {"Mandya", "Mandya", nullptr, 12.52, 76.90, Side::Right},
    {"Mangalore", "Mangalore", nullptr, 12.91, 74.86, Side::Right},
    {"Mercara", "Mercara", "Mercera", 12.42, 75.74, Side::Left},
    {"Mysore", "Mysore", nullptr, 12.30, 76.64, Side::Below},
    {"NandiHills", "Nandi Hills", "NandiHills", 13.37, 77.68, Side::Right},
    {"Raichur", "Raichur", nullptr, 16.20, 77.36, Side::Right},
    {"Shimoga", "Shimoga", nullptr, 13.93, 75.57, Side::Left},
    {"Tumkur", "Tumkur", nullptr, 13.34, 77.10, Side::Above},
    {"Hubli", "Hubli", nullptr, 15.36, 75.12, Side::Below},
};
constexpr int kCityCount = int(std::size(kCities));

// The region drawn (the state's extent), and the cosine of its middle latitude that keeps a
// degree of longitude as long on screen as on the ground.
constexpr double kWest = 74.0, kEast = 78.6, kSouth = 11.5, kNorth = 18.5;
const double kLonScale = std::cos(qDegreesToRadians((kSouth + kNorth) / 2));

const QColor kSea(0xe8, 0xee, 0xf2), kLand(0xf7, 0xf1, 0xdc), kBorder(0x8a, 0x76, 0x50);
const QColor kSpot(0xc0, 0x39, 0x2b), kInert(0x8c, 0x8c, 0x8c), kRoute(0x1f, 0x6f, 0xd1);

// A round, caption-less city spot.
class MapSpot : public QAbstractButton {
public:
    MapSpot(const City &c, QWidget *parent) : QAbstractButton(parent), inert_(!qstrcmp(c.spot, "Hubli"))
    {
        setObjectName(QString::fromLatin1(c.spot));
        setToolTip(QString::fromLatin1(c.label));
        setAccessibleName(QString::fromLatin1(c.label));
        // a mouse target; the keyboard stays with the text boxes of the screen
        setFocusPolicy(Qt::NoFocus);
        if (!inert_)
            setCursor(Qt::PointingHandCursor);
    }
    void setOnRoute(bool on)
    {
        if (on != onRoute_) {
            onRoute_ = on;
            update();
        }
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF r = QRectF(rect()).adjusted(1, 1, -1, -1);
        const QColor fill = onRoute_ ? kRoute : inert_ ? kInert : kSpot;
        p.setPen(QPen(Qt::white, std::max(1.0, r.width() / 8)));
        p.setBrush(isDown() ? fill.darker(140) : underMouse() && !inert_ ? fill.lighter(130) : fill);
        p.drawEllipse(r);
    }
    void enterEvent(QEnterEvent *e) override { update(); QAbstractButton::enterEvent(e); }
    void leaveEvent(QEvent *e) override { update(); QAbstractButton::leaveEvent(e); }

private:
    bool inert_;
    bool onRoute_ = false;
};

QString key(const QString &name) { return name.trimmed().toCaseFolded(); }

int cityOf(const QString &typed)
{
    const QString k = key(typed);
    if (k.isEmpty())
        return -1;
    for (int i = 0; i < kCityCount; ++i) {
        const City &c = kCities[i];
        if (k == key(QLatin1String(c.spot)) || k == key(QLatin1String(c.label))
            || (c.alias && k == key(QLatin1String(c.alias))))
            return i;
    }
    return -1;
}

}  // namespace

RouteMap::RouteMap(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("map"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    for (const City &c : kCities) {
        auto *b = new MapSpot(c, this);
        const QString n = b->objectName();
        if (n != QLatin1String("Hubli"))
            connect(b, &QAbstractButton::clicked, this, [this, n] { emit spotClicked(n); });
        else
            b->lower();  // where it overlaps Dharwad, the click goes to the spot that acts
    }
    placeSpots();
}

QAbstractButton *RouteMap::spot(const QString &name) const
{
    return findChild<QAbstractButton *>(name, Qt::FindDirectChildrenOnly);
}

QStringList RouteMap::spotNames() const
{
    QStringList names;
    for (const City &c : kCities)
        names << QString::fromLatin1(c.spot);
    return names;
}

void RouteMap::showSequence(const QStringList &placeNames)
{
    sequence_ = placeNames;
    route_.clear();
    for (const QString &p : placeNames)
        if (const int i = cityOf(p); i >= 0)
            route_ << i;
    for (int i = 0; i < kCityCount; ++i)
        static_cast<MapSpot *>(spot(QLatin1String(kCities[i].spot)))->setOnRoute(route_.contains(i));
    update();
}

QList<QPointF> RouteMap::routeLine() const
{
    QList<QPointF> line;
    for (int i : route_)
        line << mapPoint(kCities[i].lon, kCities[i].lat);
    return line;
}

QStringList RouteMap::routeSpots() const
{
    QStringList names;
    for (int i : route_)
        names << QString::fromLatin1(kCities[i].spot);
    return names;
}

int RouteMap::spotDiameter() const { return std::clamp(std::min(width(), height()) / 42, 8, 16); }

QPointF RouteMap::mapPoint(double longitude, double latitude) const
{
    // room at the sides for the labels of the cities near the border
    const double mx = std::max(spotDiameter() / 2.0 + 1, width() * 0.07);
    const double my = std::max(spotDiameter() / 2.0 + 1, height() * 0.03);
    const double aw = std::max(1.0, width() - 2 * mx), ah = std::max(1.0, height() - 2 * my);
    const double spanX = (kEast - kWest) * kLonScale, spanY = kNorth - kSouth;
    const double s = std::min(aw / spanX, ah / spanY);
    const double x0 = (width() - spanX * s) / 2, y0 = (height() - spanY * s) / 2;
    return {x0 + (longitude - kWest) * kLonScale * s, y0 + (kNorth - latitude) * s};
}

void RouteMap::placeSpots()
{
    const int d = spotDiameter();
    for (const City &c : kCities) {
        const QPointF at = mapPoint(c.lon, c.lat);
        const int x = std::clamp(qRound(at.x() - d / 2.0), 0, std::max(0, width() - d));
        const int y = std::clamp(qRound(at.y() - d / 2.0), 0, std::max(0, height() - d));
        spot(QLatin1String(c.spot))->setGeometry(x, y, d, d);
    }
}

void RouteMap::resizeEvent(QResizeEvent *)
{
    placeSpots();
}

QSize RouteMap::sizeHint() const { return {330, 480}; }
QSize RouteMap::minimumSizeHint() const { return {120, 170}; }

void RouteMap::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), kSea);
    p.setRenderHint(QPainter::Antialiasing);

    QPainterPath land;
    for (const QPolygonF &piece : nbk::routes::stateOutline()) {
        QPolygonF poly;
        poly.reserve(piece.size());
        for (const QPointF &ll : piece)
            poly << mapPoint(ll.x(), ll.y());
        land.addPolygon(poly);
        land.closeSubpath();
    }
    p.setPen(QPen(kBorder, std::max(1.0, std::min(width(), height()) / 400.0)));
    p.setBrush(kLand);
    p.drawPath(land);

    const int d = spotDiameter();
    const QList<QPointF> line = routeLine();
    if (line.size() >= 2) {
        QColor c = kRoute;
        c.setAlpha(200);
        p.setPen(QPen(c, std::max(2.0, d / 3.0), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF(line));
    }

    if (std::min(width(), height()) < 180)
        return;  // no room for names; the tooltips still tell them
    QFont f = font();
    f.setPixelSize(std::clamp(height() / 45, 8, 14));
    for (int i = 0; i < kCityCount; ++i) {
        const City &c = kCities[i];
        f.setBold(route_.contains(i));
        p.setFont(f);
        const QFontMetricsF fm(f);
        const QString text = QString::fromLatin1(c.label);
        const QPointF at = mapPoint(c.lon, c.lat);
        const double tw = fm.horizontalAdvance(text), th = fm.height(), gap = d / 2.0 + 2;
        QPointF topLeft;
        switch (c.side) {
        case Side::Right: topLeft = {at.x() + gap, at.y() - th / 2}; break;
        case Side::Left: topLeft = {at.x() - gap - tw, at.y() - th / 2}; break;
        case Side::Above: topLeft = {at.x() - tw / 2, at.y() - gap - th}; break;
        case Side::Below: topLeft = {at.x() - tw / 2, at.y() + gap}; break;
        }
        p.setPen(route_.contains(i) ? kRoute.darker(130) : QColor(0x40, 0x3a, 0x30));
        p.drawText(QRectF(topLeft, QSizeF(tw + 4, th)), Qt::AlignLeft | Qt::AlignVCenter, text);
    }
}
