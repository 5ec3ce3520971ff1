#include "reports/ReportsFixture.h"
#include "support/AdminRunner.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace nbk;
using namespace nbk::test;

namespace {

QString pdfText(const QString &path)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString pdfInfo(const QString &path)
{
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {path});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

class AdminReport : public ReportsTest {
protected:
    AdminRun report(const QStringList &nameAndValue)
    {
        const QString database = db().kind() == EngineKind::Embedded ? db().embeddedPath() : db().server();
        return admin(QStringList{"report", "--database", database, "--user", "clerk1", "--password", "nb", "--pdf", pdf()}
                     + nameAndValue);
    }
    QString pdf() const { return dir.filePath(QStringLiteral("report.pdf")); }
    QTemporaryDir dir;
};

TEST_P(AdminReport, TicketAndSeatChartAreWrittenAsTheScreensLayThemOut)
{
    book(1001, 50, {4, 5, 6}, 2, 2, QStringLiteral("Asha"));
    const AdminRun ticket = report({"ticket", "1001"});
    ASSERT_EQ(ticket.code, 0) << ticket.err.toStdString();
    const QString t = pdfText(pdf());
    EXPECT_TRUE(t.contains(QStringLiteral("Journey Ticket"))) << t.toStdString();
    EXPECT_TRUE(t.contains(QRegularExpression(QStringLiteral("Seats +4, 5, 6")))) << t.toStdString();
    EXPECT_TRUE(t.contains(QStringLiteral("Asha")));

    // the roll is 80 mm (226.8 points) wide; an A4 sheet when asked for
    EXPECT_TRUE(pdfInfo(pdf()).contains(QRegularExpression(QStringLiteral("Page size: +227 x \\d+ pts"))))
        << pdfInfo(pdf()).toStdString();
    ASSERT_EQ(report({"--paper", "a4", "ticket", "1001"}).code, 0);
    EXPECT_TRUE(pdfInfo(pdf()).contains(QStringLiteral("(A4)"))) << pdfInfo(pdf()).toStdString();
    EXPECT_EQ(report({"--paper", "letter", "ticket", "1001"}).code, 2);

    // the manifest on the paper the ticket takes: in columns on A4, a block of named fields a
    // seat on the roll
    const AdminRun manifest = report({"--paper", "a4", "manifest", "50"});
    ASSERT_EQ(manifest.code, 0) << manifest.err.toStdString();
    const QString m = pdfText(pdf());
    EXPECT_TRUE(pdfInfo(pdf()).contains(QStringLiteral("(A4)"))) << pdfInfo(pdf()).toStdString();
    EXPECT_TRUE(m.contains(QStringLiteral("Conductor's Manifest"))) << m.toStdString();
    EXPECT_TRUE(m.contains(QRegularExpression(QStringLiteral("4 +1001 +Asha +30 / Male +Mysore +Bangalore"))))
        << m.toStdString();
    EXPECT_TRUE(m.contains(QRegularExpression(QStringLiteral("Mandya to Bangalore +3 +27")))) << m.toStdString();
    ASSERT_EQ(report({"manifest", "50"}).code, 0);
    EXPECT_TRUE(pdfInfo(pdf()).contains(QRegularExpression(QStringLiteral("Page size: +227 x \\d+ pts"))))
        << pdfInfo(pdf()).toStdString();
    const QString roll = pdfText(pdf());
    EXPECT_TRUE(roll.contains(QRegularExpression(QStringLiteral("Passenger +Asha")))) << roll.toStdString();
    EXPECT_TRUE(roll.contains(QRegularExpression(QStringLiteral("Mysore to Mandya +0 +30")))) << roll.toStdString();

    const AdminRun chart = report({"seat-matrix", "50"});
    ASSERT_EQ(chart.code, 0) << chart.err.toStdString();
    const QString c = pdfText(pdf());
    EXPECT_TRUE(c.contains(QStringLiteral("SEAT MATRIX")));
    // the text extraction does not keep blanks exactly; the lines' texts are checked in the chart's tests
    EXPECT_TRUE(c.contains(QRegularExpression(QStringLiteral("Mysore +Mandya +Bangalore")))) << c.toStdString();
    // the held stretch's mark under Mandya - Bangalore, its customer beside it
    const QStringList rows = c.split(QLatin1Char('\n'));
    EXPECT_EQ(rows.filter(QRegularExpression(QStringLiteral("^ *\\d+ +-+ +-+X-+ +1001$"))).size(), 3) << c.toStdString();
    EXPECT_EQ(rows.filter(QRegularExpression(QStringLiteral("^ *\\d+ +-+ +-+ +All Free$"))).size(), 47);
    EXPECT_EQ(db().scalar(QStringLiteral("select count(*) from TempBusRoute")).toInt(), 0);
}

TEST_P(AdminReport, MessageInsteadOfAReportGoesToStandardErrorWithExitOne)
{
    QFile::remove(pdf());
    const AdminRun bad = report({"seat-matrix", "12.5"});
    EXPECT_EQ(bad.code, 1);
    EXPECT_TRUE(bad.err.contains(QStringLiteral(" Invalid Instance Id"))) << bad.err.toStdString();
    EXPECT_FALSE(QFile::exists(pdf()));
    const AdminRun route = report({"route-map", "x"});
    EXPECT_EQ(route.code, 1);
    EXPECT_TRUE(route.err.contains(QStringLiteral("Invalid Route ID"))) << route.err.toStdString();
    EXPECT_EQ(report({"ticket"}).code, 2);
    EXPECT_EQ(report({"manifest"}).code, 2);
    const AdminRun noRun = report({"manifest", "99"});
    EXPECT_EQ(noRun.code, 1);
    EXPECT_TRUE(noRun.err.contains(QStringLiteral("There is no run 99."))) << noRun.err.toStdString();
    EXPECT_EQ(report({"refund-slip"}).code, 2);
    const AdminRun noSlip = report({"refund-slip", "99"});
    EXPECT_EQ(noSlip.code, 1);
    EXPECT_TRUE(noSlip.err.contains(QStringLiteral("No cancellation of customer 99"))) << noSlip.err.toStdString();
    EXPECT_FALSE(QFile::exists(pdf()));
}

NBK_ALL_ENGINES(AdminReport);

}  // namespace
