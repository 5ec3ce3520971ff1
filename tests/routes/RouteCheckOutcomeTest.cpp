// The widget-free steps of the route entry: splitting, the checks of Next >> with what the
// supervisor is told and where the focus goes, and the codes of new places.
#include "ui/prompt/Prompt.h"
#include "routes/StoreRoute.h"
#include "support/Outcomes.h"

#include <gtest/gtest.h>

using namespace nbk;
using namespace nbk::routes;

namespace {

Outcome check(const QString &sequence, const QString &kms, const QString &stop = QStringLiteral("10"),
              const QString &travel = QStringLiteral("300"), const QString &speed = QString(), CheckedRoute *out = nullptr)
{
    RouteEntry e{sequence, kms, stop, travel, speed, !speed.isNull(), 1};
    CheckedRoute r;
    const Outcome o = checkRoute(e, r);
    if (out)
        *out = r;
    return o;
}

TEST(RouteSplit, EitherSeparatorATrailingOneStartsNoItemLeadingAndDoubledOnesGiveEmptyItems)
{
    EXPECT_EQ(splitList(QStringLiteral("Bangalore, Tumkur ;Arsikere,")),
              (QStringList{QStringLiteral("Bangalore"), QStringLiteral(" Tumkur "), QStringLiteral("Arsikere")}));
    EXPECT_EQ(splitList(QStringLiteral(",a,,b")), (QStringList{QString(), QStringLiteral("a"), QString(), QStringLiteral("b")}));
    EXPECT_EQ(splitList(QStringLiteral("a, ")), (QStringList{QStringLiteral("a"), QStringLiteral(" ")}));
    EXPECT_TRUE(splitList(QString()).isEmpty());
    // an edit's sequence and the Bijapur spot's parse to their places
    EXPECT_EQ(sequencePlaces(QStringLiteral(" Bijapur , Tumkur")), (QStringList{QStringLiteral("Bijapur"), QStringLiteral("Tumkur")}));
    EXPECT_EQ(trimBlanks(QStringLiteral(" \tx\t ")), QStringLiteral("\tx\t"));
}

TEST(RouteCheck, RefusalsComeWithTheirMessageTitleAndFocus)
{
    const QString place = QStringLiteral("One or more of the places in route sequence is null or less than 2 characters");
    const QString invalid = QStringLiteral("One or more of the kilometers entered is null or invalid ");
    const QString segments = QStringLiteral("Number of segments does not match with the route sequence ");
    struct Case {
        QString sequence, kms, message, title;
        Focus focus;
    };
    const Case cases[] = {
        {",Aa,Bb", "70", place, "Error", Focus::RouteSequence},
        {"Aa,,Bb", "70", place, "Error", Focus::RouteSequence},
        {"Aa,B", "70", place, "Error", Focus::RouteSequence},
        {"Aa,Bb,Cc", "70,,105", "One or more of the kilometers entered is zero ", "Error", Focus::RouteDistances},
        {"Aa,Bb", " ", invalid, "Error", Focus::RouteDistances},
        {"Aa,Bb", "0", invalid, "Error", Focus::RouteDistances},
        {"Aa,Bb", "-5", invalid, "Error", Focus::RouteDistances},
        {"Aa,Bb", "1e400", invalid, "Error", Focus::RouteDistances},
        {"Aa,Bb,Cc", "70", segments, "Error.", Focus::RouteDistances},
        {"", "", segments, "Error.", Focus::RouteDistances},
    };
    for (const Case &c : cases) {
        const Outcome o = check(c.sequence, c.kms);
        EXPECT_FALSE(o.ok || o.rollBack) << c.sequence.toStdString() << " / " << c.kms.toStdString();
        EXPECT_EQ(o.notice.text + '|' + o.notice.title, c.message + '|' + c.title)
            << c.sequence.toStdString() << " / " << c.kms.toStdString();
        EXPECT_EQ(o.focus, c.focus) << c.sequence.toStdString() << " / " << c.kms.toStdString();
        EXPECT_EQ(o.notice.style, mb::Critical);
    }
    // the times: stop, journey time (null: estimated from the speed), speed
    const auto text = [](const char *t) { return t ? QString::fromLatin1(t) : QString(); };
    struct Times {
        const char *stop, *travel, *speed, *message;
        Focus focus;
    };
    const Times times[] = {
        {nullptr, "300", nullptr, "Invalid Stop time", Focus::StopTime},
        {"5", nullptr, nullptr, "Invalid Travel time", Focus::TravelTime},
        {"5", nullptr, "x", "Invalid KMph", Focus::Speed},
    };
    for (const Times &t : times) {
        const Outcome o = check(QStringLiteral("Aa,Bb"), QStringLiteral("10"), text(t.stop), text(t.travel), text(t.speed));
        EXPECT_EQ(o.notice.text + '|' + o.notice.title, text(t.message) + QStringLiteral("|Information"));
        EXPECT_EQ(o.focus, t.focus) << t.message;
        EXPECT_EQ(o.notice.style, mb::OKOnly);
    }
}

TEST(RouteCheck, AcceptedRouteHasTrimmedNamesCanonicalDistancesAndTotalsRoundedToEven)
{
    CheckedRoute r;
    ASSERT_TRUE(check(QStringLiteral("Bangalore, Tumkur ;Arsikere,"), QStringLiteral(" 070, 105.5"), QStringLiteral("7.5"),
                      QStringLiteral("300.5"), QString(), &r)
                    .ok);
    EXPECT_EQ(r.places, (QStringList{QStringLiteral("Bangalore"), QStringLiteral("Tumkur"), QStringLiteral("Arsikere")}));
    EXPECT_EQ(r.distances, (QStringList{QStringLiteral("70"), QStringLiteral("105.5")}));
    EXPECT_EQ(r.totalKm, 176);
    EXPECT_EQ(r.stopTime, 7.5);
    EXPECT_EQ(r.travelMins, 300);
    EXPECT_EQ(r.fpi, 2);
    // 3 places, 250 km, 10 minute stops at 50 km/h: 2 x 10 + 250 / 50 x 60
    ASSERT_TRUE(check(QStringLiteral("Aa,Bb,Cc"), QStringLiteral("100,150"), QStringLiteral("10"), {},
                      QStringLiteral("50"), &r)
                    .ok);
    EXPECT_EQ(r.travelMins, 320);
    // a single place without distance passes, for the same-start-and-end refusal later
    ASSERT_TRUE(check(QStringLiteral("Bangalore"), QString(), QStringLiteral("1"), QStringLiteral("1"), {}, &r).ok);
    EXPECT_TRUE(sameStartAndEnd(r));
}

TEST(RouteCheck, LimitsOfTheTablesAreRefusedBeforeAnythingIsWritten)
{
    const auto refused = [](const Outcome &o, Focus focus) { return !o.ok && o.focus == focus; };
    // a speed of 0 would divide by zero
    EXPECT_TRUE(refused(check(QStringLiteral("Aa,Bb"), QStringLiteral("10"), QStringLiteral("5"), {}, QStringLiteral("0")), Focus::Speed));
    QStringList many, kms;
    for (int i = 0; i < 102; ++i)
        many << QStringLiteral("P%1").arg(i);
    kms.fill(QStringLiteral("1"), 101);
    EXPECT_TRUE(refused(check(many.join(','), kms.join(',')), Focus::RouteSequence));
    many.removeLast();
    kms.removeLast();
    EXPECT_TRUE(check(many.join(','), kms.join(',')).ok);
    // a total distance and a journey time beyond 16 bits
    EXPECT_TRUE(refused(check(QStringLiteral("Aa,Bb,Cc"), QStringLiteral("32000,768")), Focus::RouteDistances));
    EXPECT_TRUE(check(QStringLiteral("Aa,Bb,Cc"), QStringLiteral("32000,767")).ok);
    EXPECT_TRUE(refused(check(QStringLiteral("Aa,Bb"), QStringLiteral("10"), QStringLiteral("5"), QStringLiteral("32768")), Focus::TravelTime));
    EXPECT_TRUE(refused(check(QStringLiteral("Aa,Bb"), QStringLiteral("30000"), QStringLiteral("5"), {}, QStringLiteral("1")), Focus::Speed));
}

TEST(PlaceCodes, TwoLettersAndAPairFromTheThirdToTheSeventhThenTheSequence)
{
    EXPECT_EQ(derivedPlaceCodes(QStringLiteral("Bangalore")).join(' '), QStringLiteral("Bang Baga Baal Balo Baor"));
    EXPECT_EQ(derivedPlaceCodes(QStringLiteral("Mysore")).join(' '), QStringLiteral("Myso Myor"));
    EXPECT_EQ(derivedPlaceCodes(QStringLiteral("Chickmagalur")).size(), 5);
    EXPECT_TRUE(derivedPlaceCodes(QStringLiteral("Agra")).isEmpty());
    EXPECT_EQ(sequencePlaceCode(QStringLiteral("Agra"), 12), QStringLiteral("Ag12"));
}

}  // namespace
