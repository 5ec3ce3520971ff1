#include "common/PeopleDates.h"
#include "data/dialect/OracleDate.h"
#include "reports/engine/Paginator.h"
#include "reports/QStringPrint.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

using namespace nbk::report;

// The one form of a date for people, whatever language or region the machine is set to.
TEST(PeopleDates, DayMonthNameYearAndTheTimeOnTheTwentyFourHourClock)
{
    struct Case {
        QDateTime at;
        const char *date, *dateTime;
    };
    const Case cases[] = {
        {{QDate(2026, 12, 11), QTime(10, 7)}, "11 Dec 2026", "11 Dec 2026 10:07"},
        {{QDate(2027, 1, 1), QTime(0, 5)}, "1 Jan 2027", "1 Jan 2027 00:05"},       // no leading zero on the day
        {{QDate(2026, 9, 30), QTime(12, 0)}, "30 Sep 2026", "30 Sep 2026 12:00"},    // noon, no AM/PM
        {{QDate(2028, 2, 29), QTime(23, 59, 59)}, "29 Feb 2028", "29 Feb 2028 23:59"}, // seconds dropped, not rounded
        {{QDate(2026, 5, 3), QTime(0, 0)}, "3 May 2026", "3 May 2026 00:00"},        // midnight keeps its time
    };
    const QLocale was;
    for (const QLocale &machine : {QLocale(QLocale::English, QLocale::UnitedStates), QLocale(QLocale::German),
                                   QLocale(QLocale::Kannada, QLocale::India)}) {
        QLocale::setDefault(machine);
        for (const Case &c : cases) {
            SCOPED_TRACE(machine.name().toStdString() + " " + c.dateTime);
            EXPECT_EQ(nbk::peopleDate(c.at.date()), QLatin1String(c.date));
            EXPECT_EQ(nbk::peopleDateTime(c.at), QLatin1String(c.dateTime));
        }
    }
    QLocale::setDefault(was);
    EXPECT_EQ(nbk::peopleDate(QDate()), QString());
    EXPECT_EQ(nbk::peopleDateTime(QDateTime()), QString());
}

TEST(ReportFormat, DatesFollowTheDisplayFormat)
{
    const QDateTime t(QDate(2003, 3, 5), QTime(9, 5, 7));
    EXPECT_EQ(formatValue(t, QStringLiteral("m/d/yy h:nn")), QStringLiteral("3/5/03 9:05"));
    EXPECT_EQ(formatValue(QDateTime(QDate(2003, 12, 25), QTime(23, 50)), QStringLiteral("m/d/yy h:nn")),
              QStringLiteral("12/25/03 23:50"));
    EXPECT_EQ(formatValue(t, QStringLiteral("Long Date")), QStringLiteral("Wednesday 5 Mar 2003"));
    EXPECT_EQ(formatValue(t, QStringLiteral("Short Date")), QStringLiteral("5 Mar 2003"));
    EXPECT_EQ(formatValue(t, QStringLiteral("dd-mmm-yyyy hh:mm:ss")), QStringLiteral("05-Mar-2003 09:05:07"));
    EXPECT_EQ(formatValue(QDateTime(QDate(2003, 3, 5), QTime(21, 5)), QStringLiteral("h:nn AM/PM")),
              QStringLiteral("9:05 PM"));
    EXPECT_EQ(formatValue(t, QStringLiteral("\"on\" d\\/m")), QStringLiteral("on 5/3"));
    // without a format, as people read dates: day first, the month in letters, no seconds
    EXPECT_EQ(formatValue(QDate(2003, 3, 5)), QStringLiteral("5 Mar 2003"));
    EXPECT_EQ(formatValue(t), QStringLiteral("5 Mar 2003 09:05"));
    EXPECT_EQ(formatValue(t, QStringLiteral("General Date")), QStringLiteral("5 Mar 2003 09:05"));
    // the embedded engine may hand a date over as its day number
    EXPECT_EQ(formatValue(nbk::data::toDayNumber(t), QStringLiteral("m/d/yy h:nn")), QStringLiteral("3/5/03 9:05"));
}

// A stored text of any length is shown cut, so the report's memory stays bounded; a
// character is never split.
TEST(ReportFormat, LongTextsAreCutWhereTheyAreShown)
{
    const QString huge(1000000, QLatin1Char('x'));
    const QString cut = formatValue(huge);
    EXPECT_EQ(cut.size(), kMaxShownChars + 1);
    EXPECT_TRUE(cut.endsWith(QChar(0x2026)));
    const QString fits(kMaxShownChars, QLatin1Char('y'));
    EXPECT_EQ(formatValue(fits), fits);
    const QString pairs = QString(kMaxShownChars - 1, QLatin1Char('z')) + QString::fromUtf8("\U0001F600\U0001F600");
    EXPECT_EQ(formatValue(pairs), QString(kMaxShownChars - 1, QLatin1Char('z')) + QChar(0x2026));
}

TEST(ReportFormat, NumbersInShortestFormAndNullAsNothing)
{
    EXPECT_EQ(formatValue(250.0), QStringLiteral("250"));
    EXPECT_EQ(formatValue(0.1 + 0.2), QStringLiteral("0.30000000000000004"));
    EXPECT_EQ(formatValue(qlonglong(1234567890123)), QStringLiteral("1234567890123"));
    EXPECT_EQ(formatValue(QVariant()), QString());
    EXPECT_EQ(formatValue(QVariant(QMetaType(QMetaType::QString))), QString());
    EXPECT_EQ(formatValue(QStringLiteral("  padded ")), QStringLiteral("  padded "));
}

class ReportRowsTest : public nbk::test::DbTest {};

// The time table's rows through the session's connection: one detail band per run with
// the departure in the report's date format, on either engine.
TEST_P(ReportRowsTest, TimeTableRowsShowDepartureInItsFormat)
{
    seedRouteABCD();
    db().exec({"INSERT INTO bus_instance values( 71, 7, TO_DATE('06-03-2003 09:05:00','DD-MM-YYYY HH24:MI:SS') , "
               "'tt' , 0 , 'R1' , 2 , 40 )",
               "INSERT INTO bus_instance values( 72, 7, TO_DATE('07-03-2003 10:30:00','DD-MM-YYYY HH24:MI:SS') , "
               "'tt' , 0 , 'R1' , 2 , 40 )"});
    ReportLayout l(QStringLiteral("TimeTable"), QStringLiteral("DataReport2"));
    auto &detail = l.addSection(QStringLiteral("TimeTable_Detail"), SectionKind::Detail, 615);
    detail.addTextBox(QStringLiteral("txtINSTANCE_ID"), QStringLiteral("INSTANCE_ID"), {288, 288, 1008, 285});
    detail.addTextBox(QStringLiteral("txtDEP_DATE"), QStringLiteral("DEP_DATE"), {3024, 288, 1440, 285})
        .setFormat(QStringLiteral("m/d/yy h:nn"));
    const ReportData data = ReportData::fromResultSet(
        session().GetCurrentConnection().query(QStringLiteral("select * from bTimeTable order by instance_id")));
    const PagedReport r = paginate(l, data);
    ASSERT_EQ(r.pageCount(), 1);
    EXPECT_EQ(r.pages[0].texts(),
              (QStringList{"70", "3/5/03 23:50", "71", "3/6/03 9:05", "72", "3/7/03 10:30"}));
}

NBK_ALL_ENGINES(ReportRowsTest);
