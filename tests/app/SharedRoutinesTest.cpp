#include "common/SharedRoutines.h"
#include "common/ReservationState.h"
#include "support/MessageScript.h"
#include "ui/MsgBox.h"

#include <gtest/gtest.h>

using nbk::data::RowTable;

namespace {

TEST(DaysInMonth, CountsTheDaysOfTheDatesMonth)
{
    for (int day : {1, 15, 28, 29})
        EXPECT_EQ(DaysInMonth(QDate(2004, 2, day)), 29) << day;
    EXPECT_EQ(DaysInMonth(QDate(2003, 2, 28)), 28);
    EXPECT_EQ(DaysInMonth(QDate(2000, 2, 1)), 29);
    EXPECT_EQ(DaysInMonth(QDate(1900, 2, 1)), 28);
    // December reaches into January of the next year
    EXPECT_EQ(DaysInMonth(QDate(2003, 12, 31)), 31);
    EXPECT_EQ(DaysInMonth(QDate(2003, 12, 1)), 31);
    EXPECT_EQ(DaysInMonth(QDate(2003, 4, 30)), 30);
    // the 31st of a month before a short month still counts its own month
    EXPECT_EQ(DaysInMonth(QDate(2004, 1, 31)), 31);
    EXPECT_EQ(DaysInMonth(QDate(2003, 3, 31)), 31);
    EXPECT_EQ(DaysInMonth(QDate(2003, 8, 31)), 31);
}

TEST(OracleDateLiteral, WritesDayFirstWithTwoDigitFields)
{
    EXPECT_EQ(OracleDateLiteral(QDateTime(QDate(2003, 3, 5), QTime(14, 7, 9))),
              "TO_DATE('05-03-2003 14:07:09','DD-MM-YYYY HH24:MI:SS')");
    EXPECT_EQ(OracleDateLiteral(QDateTime(QDate(2003, 3, 5), QTime(0, 0))),
              "TO_DATE('05-03-2003 00:00:00','DD-MM-YYYY HH24:MI:SS')");
    EXPECT_EQ(OracleDateLiteral(QDateTime(QDate(2004, 12, 31), QTime(23, 59, 59))),
              "TO_DATE('31-12-2004 23:59:59','DD-MM-YYYY HH24:MI:SS')");
}

class DistinctPlaces : public ::testing::Test {
protected:
    void SetUp() override { nbk::test::MessageScript::begin(); }
    void TearDown() override { nbk::test::MessageScript::end(); }
    static RowTable places(std::initializer_list<const char *> codes)
    {
        std::vector<QVariantList> rows;
        for (const char *c : codes)
            rows.push_back({QString::fromLatin1(c), QStringLiteral("name of ") + QString::fromLatin1(c)});
        return RowTable({QStringLiteral("place"), QStringLiteral("Full_Name")}, std::move(rows));
    }
    nbk::reservation::ReservationState request;
};

TEST_F(DistinctPlaces, SameCodeDifferingInCaseOrBlanksIsRefused)
{
    for (const char *dest : {"ktm", " KTM ", "Ktm  "}) {
        nbk::test::MessageScript::clearShown();
        request.SearchRows = places({"PKR", "KTM"});
        request.DestinationRows = places({dest});
        EXPECT_FALSE(CheckDistinctPlaces(request, 1, 0)) << dest;
        EXPECT_EQ(request.OriginPlace, "KTM");
        EXPECT_EQ(request.DestinationPlace, QString::fromLatin1(dest));
        ASSERT_EQ(nbk::test::MessageScript::shown().size(), 1u);
        const auto &m = nbk::test::MessageScript::shown().front();
        EXPECT_EQ(m.text, "Start Place same as end place ");
        EXPECT_EQ(m.title, "Error");
        EXPECT_EQ(m.icon(), nbk::mb::Critical);
    }
}

TEST_F(DistinctPlaces, DifferentPlacesPassAndAreTakenFromTheChosenRows)
{
    request.SearchRows = places({"PKR", "KTM"});
    request.DestinationRows = places({"KTM", "BRT", "PKR"});
    EXPECT_TRUE(CheckDistinctPlaces(request, 0, 1));
    EXPECT_EQ(request.OriginPlace, "PKR");
    EXPECT_EQ(request.DestinationPlace, "BRT");
    // a code that only contains the other is a different place
    request.DestinationRows = places({"KTMX"});
    EXPECT_TRUE(CheckDistinctPlaces(request, 1, 0));
    EXPECT_TRUE(nbk::test::MessageScript::shown().empty());
}

}  // namespace
