// The widget-free steps of the route entry: splitting, the checks of Next >>, the codes of
// new places and the confirmation texts.
#include "data/MessageHook.h"
#include "routes/StoreRoute.h"

#include <gtest/gtest.h>

using namespace nbk;
using namespace nbk::routes;

namespace {

RouteEntry entry(const char *sequence, const char *kms, const char *stop = "10", const char *travel = "300")
{
    RouteEntry e;
    e.sequence = QString::fromLatin1(sequence);
    e.kms = QString::fromLatin1(kms);
    e.stopTime = QString::fromLatin1(stop);
    e.travelTime = QString::fromLatin1(travel);
    return e;
}

Outcome check(const RouteEntry &e, CheckedRoute *out = nullptr)
{
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
    EXPECT_EQ(splitList(QStringLiteral(",Tumkur")), (QStringList{QString(), QStringLiteral("Tumkur")}));
    EXPECT_EQ(splitList(QStringLiteral("a,,b")), (QStringList{QStringLiteral("a"), QString(), QStringLiteral("b")}));
    EXPECT_EQ(splitList(QStringLiteral("a,,")), (QStringList{QStringLiteral("a"), QString()}));
    EXPECT_EQ(splitList(QStringLiteral("a, ")), (QStringList{QStringLiteral("a"), QStringLiteral(" ")}));
    EXPECT_TRUE(splitList(QString()).isEmpty());
    // the sequence an edit loads, and the one the Bijapur spot starts
    EXPECT_EQ(sequencePlaces(QStringLiteral(" Bangalore, Tumkur")),
              (QStringList{QStringLiteral("Bangalore"), QStringLiteral("Tumkur")}));
    EXPECT_EQ(sequencePlaces(QStringLiteral("Bijapur ,Tumkur")),
              (QStringList{QStringLiteral("Bijapur"), QStringLiteral("Tumkur")}));
    // only spaces are blanks
    EXPECT_EQ(trimBlanks(QStringLiteral(" \tx\t ")), QStringLiteral("\tx\t"));
}

TEST(RouteCheck, PlacesAndDistancesAreRefusedWithTheirMessageAndFocus)
{
    struct Case {
        const char *sequence, *kms;
        const char *message;
        const char *focus;
    };
    const char *place = "One or more of the places in route sequence is null or less than 2 characters";
    const char *zero = "One or more of the kilometers entered is zero ";
    const char *invalid = "One or more of the kilometers entered is null or invalid ";
    const char *segments = "Number of segments does not match with the route sequence ";
    const Case cases[] = {
        {",Bangalore,Tumkur", "70", place, "txtr"},
        {"Bangalore,,Tumkur", "70", place, "txtr"},
        {"Bangalore,T", "70", place, "txtr"},
        {"Bangalore,Tumkur", "", segments, "txtk"},
        {"Bangalore,Tumkur,Arsikere", "70,,105", zero, "txtk"},
        {"Bangalore,Tumkur", " ", invalid, "txtk"},
        {"Bangalore,Tumkur", "0", invalid, "txtk"},
        {"Bangalore,Tumkur", "-5", invalid, "txtk"},
        {"Bangalore,Tumkur", "7O", invalid, "txtk"},
        {"Bangalore,Tumkur", "1e400", invalid, "txtk"},
        {"Bangalore,Tumkur,Arsikere", "70", segments, "txtk"},
        {"", "", segments, "txtk"},
    };
    for (const Case &c : cases) {
        const Outcome o = check(entry(c.sequence, c.kms));
        EXPECT_FALSE(o.ok) << c.sequence << " / " << c.kms;
        EXPECT_EQ(o.text, QString::fromLatin1(c.message)) << c.sequence << " / " << c.kms;
        EXPECT_EQ(o.focus, QString::fromLatin1(c.focus)) << c.sequence << " / " << c.kms;
        EXPECT_EQ(o.style, mb::Critical);
        EXPECT_FALSE(o.rollBack);
    }
    EXPECT_EQ(check(entry("Bangalore,Tumkur,Arsikere", "70")).title, QStringLiteral("Error."));
    EXPECT_EQ(check(entry("Bangalore,Tumkur", "0")).title, QStringLiteral("Error"));
}

TEST(RouteCheck, AcceptedRouteKeepsTrimmedNamesCanonicalDistancesAndRoundedTotals)
{
    CheckedRoute r;
    RouteEntry e = entry("Bangalore, Tumkur ;Arsikere,", " 070, 105.5", "7.5", "300.5");
    e.fpiPosition = 2;
    ASSERT_TRUE(check(e, &r).ok);
    EXPECT_EQ(r.places, (QStringList{QStringLiteral("Bangalore"), QStringLiteral("Tumkur"), QStringLiteral("Arsikere")}));
    EXPECT_EQ(r.distances, (QStringList{QStringLiteral("70"), QStringLiteral("105.5")}));
    // 70 + 105.5 = 175.5, rounded to the even 176; 300.5 to the even 300
    EXPECT_EQ(r.totalKm, 176);
    EXPECT_EQ(r.stopTime, 7.5);
    EXPECT_EQ(r.travelMins, 300);
    EXPECT_EQ(r.fpi, 3);

    // a single place with no distance passes (the same-start-and-end check refuses it later)
    ASSERT_TRUE(check(entry("Bangalore", ""), &r).ok);
    EXPECT_TRUE(sameStartAndEnd(r));
}

TEST(RouteCheck, TimesAndTheSpeedEstimate)
{
    CheckedRoute r;
    EXPECT_EQ(check(entry("Aa,Bb", "10", "")).text, QStringLiteral("Invalid Stop time"));
    EXPECT_EQ(check(entry("Aa,Bb", "10", "x")).focus, QStringLiteral("Text2"));
    const Outcome travel = check(entry("Aa,Bb", "10", "5", ""));
    EXPECT_EQ(travel.text, QStringLiteral("Invalid Travel time"));
    EXPECT_EQ(travel.style, mb::OKOnly);
    EXPECT_EQ(travel.title, QStringLiteral("Information"));

    // 3 places, 250 km, 10 minute stops at 50 km/h: 2 x 10 + 250 / 50 x 60
    RouteEntry e = entry("Bangalore,Tumkur,Arsikere", "100,150", "10", "Auto Estimated by Average Kmph ");
    e.estimate = true;
    e.speed = QStringLiteral("50");
    ASSERT_TRUE(check(e, &r).ok);
    EXPECT_EQ(r.travelMins, 320);
    e.speed = QStringLiteral("fast");
    EXPECT_EQ(check(e).text, QStringLiteral("Invalid KMph"));
    EXPECT_EQ(check(e).focus, QStringLiteral("Text4"));
}

TEST(RouteCheck, LimitsOfTheTablesAreRefusedBeforeAnythingIsWritten)
{
    // a speed of 0 would divide by zero
    RouteEntry e = entry("Aa,Bb", "10", "5");
    e.estimate = true;
    e.speed = QStringLiteral("0");
    Outcome o = check(e);
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(o.focus, QStringLiteral("Text4"));

    // 102 places
    QStringList many, kms;
    for (int i = 0; i < 102; ++i) {
        many << QStringLiteral("P%1").arg(i);
        if (i)
            kms << QStringLiteral("1");
    }
    o = check(entry(many.join(QLatin1Char(',')).toLatin1().constData(), kms.join(QLatin1Char(',')).toLatin1().constData()));
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(o.focus, QStringLiteral("txtr"));
    many.removeLast();
    kms.removeLast();
    EXPECT_TRUE(check(entry(many.join(QLatin1Char(',')).toLatin1().constData(),
                            kms.join(QLatin1Char(',')).toLatin1().constData()))
                    .ok);

    // a total distance and a journey time beyond 16 bits
    o = check(entry("Aa,Bb,Cc", "32000,768"));
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(o.focus, QStringLiteral("txtk"));
    EXPECT_TRUE(check(entry("Aa,Bb,Cc", "32000,767")).ok);
    o = check(entry("Aa,Bb", "10", "5", "32768"));
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(o.focus, QStringLiteral("Text3"));
    e = entry("Aa,Bb", "30000", "5");
    e.estimate = true;
    e.speed = QStringLiteral("1");
    EXPECT_FALSE(check(e).ok);
}

TEST(PlaceCodes, TwoLettersAndAPairFromTheThirdToTheSeventhThenTheSequence)
{
    EXPECT_EQ(derivedPlaceCodes(QStringLiteral("Bangalore")),
              (QStringList{QStringLiteral("Bang"), QStringLiteral("Baga"), QStringLiteral("Baal"), QStringLiteral("Balo"),
                           QStringLiteral("Baor")}));
    EXPECT_EQ(derivedPlaceCodes(QStringLiteral("Mysore")), (QStringList{QStringLiteral("Myso"), QStringLiteral("Myor")}));
    EXPECT_EQ(derivedPlaceCodes(QStringLiteral("Chickmagalur")).size(), 5);
    EXPECT_EQ(derivedPlaceCodes(QStringLiteral("Agra")), QStringList{});
    EXPECT_EQ(derivedPlaceCodes(QStringLiteral("Udupi")), QStringList{QStringLiteral("Udup")});
    EXPECT_EQ(sequencePlaceCode(QStringLiteral("Agra"), 12), QStringLiteral("Ag12"));
}

TEST(RouteSummary, ConfirmationTextsOfBothModes)
{
    CheckedRoute r;
    r.places = QStringList{QStringLiteral("Bangalore"), QStringLiteral("Tumkur")};
    r.distances = QStringList{QStringLiteral("70")};
    EXPECT_EQ(confirmationText(false, 0, r),
              QStringLiteral("The following information will be added  \r\n\r\nRoute Sequence :   Bangalore - Tumkur - "
                             "\r\n   Segment KMs          -70"));
    EXPECT_EQ(confirmationText(true, 7, r),
              QStringLiteral(" Route no. 7 will be modified to \r\n\r\nRoute Sequence :   Bangalore - Tumkur - \r\n   "
                             "Segment KMs          -70"));
}

}  // namespace
