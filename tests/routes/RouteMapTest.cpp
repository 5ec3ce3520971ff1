#include "routes/MapOutline.h"
#include "routes/screens/RouteMap.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>

namespace {

const QStringList kNames = {"Bangalore", "Belgaum", "Bellary", "Bidar", "Bijapur", "Chickmagalur",
                            "Chitradurga", "Davangere", "Dharwad", "Gulbarga", "Hampi", "Hassan",
                            "Kadur", "Karwar", "Kolar", "Mandya", "Mangalore", "Mercara",
                            "Mysore", "NandiHills", "Raichur", "Shimoga", "Tumkur", "Hubli"};

QPointF centre(const RouteMap &m, const QString &name) { return QRectF(m.spot(name)->geometry()).center(); }

// A press and release at the middle of the spot, as the mouse delivers them.
void clickSpot(QAbstractButton *b)
{
    const QPointF at = QRectF(b->rect()).center();
    const QPointF global = b->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(b, &press);
    QApplication::sendEvent(b, &release);
}

class RouteMapTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        map.resize(600, 500);
        map.show();
        QObject::connect(&map, &RouteMap::spotClicked, [this](const QString &n) { clicked << n; });
    }
    RouteMap map;
    QStringList clicked;
};

TEST_F(RouteMapTest, EveryCityHasOneCaptionlessSpotNamedAfterIt)
{
    EXPECT_EQ(map.spotNames(), kNames);
    for (const QString &n : kNames) {
        QAbstractButton *b = map.spot(n);
        ASSERT_NE(b, nullptr) << n.toStdString();
        EXPECT_EQ(b->objectName(), n);
        EXPECT_TRUE(b->text().isEmpty()) << n.toStdString();
        EXPECT_EQ(b->toolTip().remove(' '), n) << "the tooltip names the city";
    }
    EXPECT_EQ(map.spot("Arsikere"), nullptr);
}

TEST_F(RouteMapTest, ClickOnASpotEmitsItsNameAndHubliEmitsNothing)
{
    for (const QString &n : kNames) {
        clicked.clear();
        clickSpot(map.spot(n));
        EXPECT_EQ(clicked, n == "Hubli" ? QStringList{} : QStringList{n}) << n.toStdString();
    }
}

// Hubli and Dharwad lie close together: the spot that acts must be the one the mouse finds.
TEST_F(RouteMapTest, TheMouseFindsEveryActingSpotAtItsCentre)
{
    for (QSize size : {QSize(600, 500), QSize(250, 360), QSize(150, 210)}) {
        map.resize(size);
        for (const QString &n : kNames)
            if (n != "Hubli") {
                EXPECT_EQ(map.childAt(centre(map, n).toPoint()), map.spot(n)) << n.toStdString();
            }
    }
}

TEST_F(RouteMapTest, SpotsFollowGeographyAndKeepTheAspectAtAnySize)
{
    for (QSize size : {QSize(600, 500), QSize(300, 700), QSize(900, 260)}) {
        map.resize(size);
        const QPointF blr = centre(map, "Bangalore");
        EXPECT_LT(centre(map, "Bidar").y(), blr.y());
        EXPECT_GT(centre(map, "Mysore").y(), blr.y());
        EXPECT_LT(centre(map, "Mangalore").x(), blr.x());
        EXPECT_GT(centre(map, "Kolar").x(), blr.x());
        EXPECT_LT(centre(map, "Karwar").x(), centre(map, "Belgaum").x());
        // one degree east is cos(15°) of one degree north wherever the widget stretches
        const QPointF o = map.mapPoint(76, 15), e = map.mapPoint(77, 15), n = map.mapPoint(76, 16);
        EXPECT_NEAR((e.x() - o.x()) / (o.y() - n.y()), 0.966, 0.01);
        EXPECT_EQ(e.y(), o.y());
    }
}

TEST_F(RouteMapTest, SpotsStayInsideTheWidgetWhenResized)
{
    for (QSize size : {QSize(600, 500), QSize(120, 170), QSize(1000, 200), QSize(150, 900), QSize(2000, 1500)}) {
        map.resize(size);
        for (const QString &n : kNames)
            EXPECT_TRUE(map.rect().contains(map.spot(n)->geometry())) << n.toStdString() << " at " << size.width();
    }
}

TEST_F(RouteMapTest, SequenceIsDrawnThroughTheKnownPlacesInOrder)
{
    map.showSequence({" bangalore ", "Arsikere", "TUMKUR", "Nandi Hills", "", "mercera", "Mercara", "Bijapur "});
    const QStringList route = {"Bangalore", "Tumkur", "NandiHills", "Mercara", "Mercara", "Bijapur"};
    EXPECT_EQ(map.routeSpots(), route);
    for (QSize size : {QSize(600, 500), QSize(300, 420)}) {
        map.resize(size);
        const QList<QPointF> line = map.routeLine();
        ASSERT_EQ(line.size(), route.size());
        for (int i = 0; i < route.size(); ++i) {
            EXPECT_NEAR(line[i].x(), centre(map, route[i]).x(), 1.0) << route[i].toStdString();
            EXPECT_NEAR(line[i].y(), centre(map, route[i]).y(), 1.0) << route[i].toStdString();
        }
    }
    map.showSequence({"Arsikere", "Hosur"});
    EXPECT_TRUE(map.routeLine().isEmpty());
}

TEST_F(RouteMapTest, SpotsOnTheRouteLookDifferentAndStopWhenTheRouteChanges)
{
    const QImage plain = map.spot("Hassan")->grab().toImage();
    map.showSequence({"Hassan", "Mysore"});
    EXPECT_NE(map.spot("Hassan")->grab().toImage(), plain);
    EXPECT_EQ(map.spot("Kolar")->grab().toImage(), map.spot("Shimoga")->grab().toImage());
    map.showSequence({"Mysore"});
    EXPECT_EQ(map.spot("Hassan")->grab().toImage(), plain);
}

TEST_F(RouteMapTest, PaintsTheStateAndSurvivesExtremeSizes)
{
    for (QSize size : {QSize(600, 500), QSize(1, 1), QSize(2000, 1500)}) {
        map.resize(size);
        map.showSequence({"Bangalore", "Mysore"});
        QImage img(size, QImage::Format_ARGB32);
        img.fill(Qt::black);
        map.render(&img);
        if (size.width() < 100)
            continue;
        // the corner is sea, the middle of the state (no city there) is land
        const QPoint inland = map.mapPoint(76.0, 15.9).toPoint();
        EXPECT_NE(img.pixel(inland), img.pixel(0, 0)) << size.width();
        EXPECT_NE(img.pixel(inland), qRgb(0, 0, 0));
        // and the Arabian Sea west of Mangalore is not
        EXPECT_EQ(img.pixel(map.mapPoint(74.2, 12.0).toPoint()), img.pixel(0, 0));
    }
}

TEST(MapOutline, ShippedOutlineIsOneLargePieceAroundTheCities)
{
    const QList<QPolygonF> &outline = nbk::routes::stateOutline();
    ASSERT_FALSE(outline.isEmpty()) << "the outline resource is not linked in";
    EXPECT_GT(outline[0].size(), 300);
    const QRectF box = outline[0].boundingRect();
    EXPECT_TRUE(box.contains(QPointF(77.59, 12.97)));  // Bangalore
    EXPECT_TRUE(box.contains(QPointF(77.52, 17.91)));  // Bidar
    EXPECT_TRUE(outline[0].containsPoint(QPointF(76.40, 14.23), Qt::OddEvenFill));  // Chitradurga
}

TEST(MapOutline, ParserSkipsCommentsAndBadRowsAndDropsDegeneratePieces)
{
    const auto pieces = nbk::routes::parseOutline("# note\n>\n1 2\n3\t4\nx y\n5 6\n> two\n7 8\n8 9\n>\n\n 1.5  2.5 \n2 3\n3 1");
    ASSERT_EQ(pieces.size(), 2);
    EXPECT_EQ(pieces[0], QPolygonF({{1, 2}, {3, 4}, {5, 6}}));
    EXPECT_EQ(pieces[1], QPolygonF({{1.5, 2.5}, {2, 3}, {3, 1}}));
    EXPECT_TRUE(nbk::routes::parseOutline("").isEmpty());
}

}  // namespace
