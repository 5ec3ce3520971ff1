#include "reports/QStringPrint.h"
#include "reports/engine/QrCode.h"
#include "reports/engine/Renderer.h"
#include "reports/screens/PrintReport.h"
#include "reports/screens/ReportWindow.h"
#include "ui/ChildWindows.h"

#include "ui/Twips.h"

#include <QFileDialog>
#include <QFontDatabase>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace nbk::report;

namespace {

QString run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return QStringLiteral("<%1 failed: %2>").arg(program, QString::fromUtf8(p.readAllStandardError()));
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString pdfText(const QString &path) { return run(QStringLiteral("pdftotext"), {"-layout", path, "-"}); }

// A page of the PDF as poppler draws it at the given resolution.
QImage pdfPage(const QString &path, int dpi, const QString &outBase)
{
    run(QStringLiteral("pdftoppm"), {"-r", QString::number(dpi), "-png", "-f", "1", "-singlefile", path, outBase});
    return QImage(outBase + QStringLiteral(".png"));
}

ReportLayout passengerLayout()
{
    ReportLayout l(QStringLiteral("DataReport1"), QStringLiteral("DataReport1"));
    l.addSection(QStringLiteral("ReportHeader"), SectionKind::ReportHeader, 1275)
        .addLabel(QStringLiteral("Label1"), QStringLiteral("Passenger List"), {2160, 576, 2880, 435})
        .setAlign(Align::Centre);
    auto &ph = l.addSection(QStringLiteral("PageHeader"), SectionKind::PageHeader, 432);
    ph.addLabel(QStringLiteral("Label3"), QStringLiteral("Customer Id"), {144, 0, 1155, 285});
    ph.addLabel(QStringLiteral("Label2"), QStringLiteral("Name"), {2016, 0, 1440, 285});
    auto &d = l.addSection(QStringLiteral("Detail"), SectionKind::Detail, 672);
    d.addTextBox(QStringLiteral("txtCUSTOMER_ID"), QStringLiteral("CUSTOMER_ID"), {144, 144, 1440, 285});
    d.addTextBox(QStringLiteral("txtNAME"), QStringLiteral("NAME"), {2016, 144, 1440, 285});
    d.addLabel(QStringLiteral("Label5"), QStringLiteral("SEAT_NO:"), {3744, 144, 855, 285});
    l.addSection(QStringLiteral("PageFooter"), SectionKind::PageFooter, 360);
    return l;
}

ReportData passengers(int n)
{
    ReportData d;
    d.columns = {QStringLiteral("CUSTOMER_ID"), QStringLiteral("NAME")};
    for (int i = 1; i <= n; ++i)
        d.rows.push_back({5000 + i, QStringLiteral("Passenger %1").arg(i)});
    return d;
}

// The bounding box of the dark pixels of an image in a band of it, in inches.
QRectF darkBox(const QImage &image, double dpi, double fromInch, double toInch)
{
    const QImage img = image.convertToFormat(QImage::Format_Grayscale8);
    int x0 = img.width(), y0 = img.height(), x1 = -1, y1 = -1;
    const int from = int(fromInch * dpi), to = std::min(img.height(), int(toInch * dpi));
    for (int y = from; y < to; ++y) {
        const uchar *line = img.constScanLine(y);
        for (int x = 0; x < img.width(); ++x)
            if (line[x] < 128) {
                x0 = std::min(x0, x), x1 = std::max(x1, x);
                y0 = std::min(y0, y), y1 = std::max(y1, y);
            }
    }
    if (x1 < 0)
        return {};
    return {x0 / dpi, y0 / dpi, (x1 + 1 - x0) / dpi, (y1 + 1 - y0) / dpi};
}

void expectSameBox(const QRectF &a, const QRectF &b, double tolInch, const char *what)
{
    ASSERT_FALSE(a.isNull()) << what;
    ASSERT_FALSE(b.isNull()) << what;
    EXPECT_NEAR(a.left(), b.left(), tolInch) << what;
    EXPECT_NEAR(a.top(), b.top(), tolInch) << what;
    EXPECT_NEAR(a.right(), b.right(), tolInch) << what;
    EXPECT_NEAR(a.bottom(), b.bottom(), tolInch) << what;
}

}  // namespace

TEST(ReportOutput, PdfCarriesTheTextsOfEveryPage)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.pdf"));
    const PagedReport r = paginate(passengerLayout(), passengers(30));
    ASSERT_EQ(r.pageCount(), 2);
    QString error;
    ASSERT_TRUE(writePdf(r, path, &error)) << error.toStdString();
    const QString text = pdfText(path);
    EXPECT_EQ(text.count(QLatin1Char('\f')), 2) << text.toStdString();
    EXPECT_EQ(text.count(QStringLiteral("Passenger List")), 1);
    EXPECT_EQ(text.count(QStringLiteral("Customer Id")), 2);  // the page header on both pages
    EXPECT_EQ(text.count(QStringLiteral("SEAT_NO:")), 30);
    qsizetype at = 0;
    for (int i = 1; i <= 30; ++i) {
        // the lines in row order, each id before its name
        at = text.indexOf(QStringLiteral("%1").arg(5000 + i), at);
        ASSERT_GE(at, 0) << i;
        at = text.indexOf(QStringLiteral("Passenger %1 ").arg(i), at);
        ASSERT_GE(at, 0) << i;
    }
    EXPECT_TRUE(run(QStringLiteral("pdfinfo"), {path}).contains(QStringLiteral("595 x 842 pts (A4)")))
        << run(QStringLiteral("pdfinfo"), {path}).toStdString();
}

// A name in Kannada, written as a counter prints it, comes back out of the PDF's text layer
// as typed (Qt's writer alone gave back 4 of its 13 characters), and is still drawn, shaped.
// Needs a font that covers Kannada (Noto's core fonts, from scripts/deps.sh).
TEST(ReportOutput, KannadaNameComesBackOutOfThePdfAsTyped)
{
    if (QFontDatabase::families(QFontDatabase::Kannada).isEmpty())
        GTEST_SKIP() << "no font covers Kannada (scripts/deps.sh installs Noto's core fonts)";
    const QString name = QStringLiteral("\u0CAE\u0C82\u0C9C\u0CC1\u0CA8\u0CBE\u0CA5 \u0CB9\u0CC6\u0C97\u0CCD\u0CA1\u0CC6");
    ReportData d = passengers(2);
    d.rows[0][1] = name;
    d.rows[1][1] = QStringLiteral("Asha \u0CAE\u0C82\u0C9C\u0CC1 \u0928\u093E\u0917\u092A\u0941\u0930");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kannada.pdf"));
    ASSERT_TRUE(writePdf(paginate(passengerLayout(), d), path));
    const QString text = pdfText(path);
    EXPECT_TRUE(text.contains(QStringLiteral("5001          ") + name + QLatin1Char(' '))) << text.toStdString();
    EXPECT_TRUE(text.contains(d.rows[1][1].toString() + QLatin1Char(' '))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("SEAT_NO:")));
    // the shapes are there, where the name stands (the detail band's first line)
    const QImage page = pdfPage(path, 150, dir.filePath(QStringLiteral("page")));
    EXPECT_FALSE(darkBox(page, 150, (1440 + 1275 + 432 + 144) / 1440.0, (1440 + 1275 + 432 + 144 + 285) / 1440.0)
                     .isNull());
}

TEST(ReportOutput, PdfToAPlaceThatCannotBeWrittenFailsWithAReason)
{
    QString error;
    EXPECT_FALSE(writePdf(paginate(passengerLayout(), passengers(1)),
                          QStringLiteral("/nonexistent-dir/x.pdf"), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("/nonexistent-dir/x.pdf"))) << error.toStdString();
}

// A printer is not a 96-dpi screen: a line, a text and a QR code land at the same place in
// inches on a 96-dpi image, a 1200-dpi image, a 1200-dpi PDF and a 1200-dpi printer.
TEST(ReportOutput, ItemsKeepTheirPhysicalPlaceOnEveryResolution)
{
    ReportLayout l(QStringLiteral("Pos"), QStringLiteral("Pos"));
    l.page = {2880, 2880, 0, 0, 0, 0};
    auto &s = l.addSection(QStringLiteral("Body"), SectionKind::PageHeader, 2880);
    s.addLabel(QStringLiteral("Text"), QStringLiteral("HHHH"), {288, 288, 1440, 400})
        .setFont({QStringLiteral("DejaVu Sans"), 14.0});
    s.addLine(QStringLiteral("Rule"), {720, 1440, 1440, 0}).lineWidth = 30;
    s.addImage(QStringLiteral("Qr"), qrCode(QStringLiteral("ticket 42")), {1728, 1872, 720, 720});
    const PagedReport r = paginate(l, {});

    const QImage screen = renderPageImage(r, 0, 96);
    ASSERT_EQ(screen.size(), QSize(192, 192));
    const QImage fine = renderPageImage(r, 0, 1200);
    ASSERT_EQ(fine.size(), QSize(2400, 2400));

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("pos.pdf"));
    ASSERT_TRUE(writePdf(r, pdf));
    QPrinter printer(QPrinter::HighResolution);
    ASSERT_EQ(printer.resolution(), 1200);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString printed = dir.filePath(QStringLiteral("printed.pdf"));
    printer.setOutputFileName(printed);
    ASSERT_TRUE(print(r, printer));
    const QImage fromPdf = pdfPage(pdf, 96, dir.filePath(QStringLiteral("pdf")));
    const QImage fromPrinter = pdfPage(printed, 96, dir.filePath(QStringLiteral("printer")));
    ASSERT_EQ(fromPdf.size(), QSize(192, 192));
    ASSERT_EQ(fromPrinter.size(), QSize(192, 192));

    struct Band { const char *what; double from, to, tol; };
    // one 96-dpi pixel; two for glyphs, which hint differently at each size, and for the
    // code, whose modules are not a whole number of screen pixels
    for (const Band b : {Band{"text", 0.0, 0.75, 2.0 / 96}, Band{"line", 0.9, 1.1, 1.0 / 96},
                         Band{"qr", 1.2, 2.0, 2.0 / 96}}) {
        const QRectF ref = darkBox(fine, 1200, b.from, b.to);
        expectSameBox(darkBox(screen, 96, b.from, b.to), ref, b.tol, b.what);
        expectSameBox(darkBox(fromPdf, 96, b.from, b.to), ref, b.tol, b.what);
        expectSameBox(darkBox(fromPrinter, 96, b.from, b.to), ref, b.tol, b.what);
    }
    // and where the layout put them: the rule from 0.5 to 1.5 inch at 1 inch
    const QRectF rule = darkBox(fine, 1200, 0.9, 1.1);
    EXPECT_NEAR(rule.left(), 0.5, 0.01);
    EXPECT_NEAR(rule.right(), 1.5, 0.01);
    EXPECT_NEAR(rule.center().y(), 1.0, 0.01);
    // 14-point capitals are about 10 points tall whatever the device
    EXPECT_NEAR(darkBox(fine, 1200, 0, 0.75).height() * 72, 10.0, 1.5);
    EXPECT_NEAR(darkBox(fine, 1200, 0, 0.75).top(), 0.2, 0.06);
}

TEST(ReportOutput, QrCodeIsASquareOfModulesInsideAQuietZone)
{
    const QImage code = qrCode(QStringLiteral("NBK ticket 5001, seats 3 4"));
    ASSERT_FALSE(code.isNull());
    ASSERT_EQ(code.width(), code.height());
    const int modules = code.width() - 8;
    EXPECT_GE(modules, 21);
    EXPECT_EQ((modules - 17) % 4, 0);  // a QR version's size
    int dark = 0;
    for (int y = 0; y < code.height(); ++y)
        for (int x = 0; x < code.width(); ++x) {
            const bool isDark = qGray(code.pixel(x, y)) < 128;
            const bool border = x < 4 || y < 4 || x >= code.width() - 4 || y >= code.height() - 4;
            if (border) {
                ASSERT_FALSE(isDark) << x << "," << y;
            }
            dark += isDark;
        }
    EXPECT_GT(dark, modules * modules / 4);
    EXPECT_LT(dark, modules * modules * 3 / 4);
    // finder pattern: the top-left module is dark, the one inside its ring light
    EXPECT_LT(qGray(code.pixel(4, 4)), 128);
    EXPECT_GT(qGray(code.pixel(5, 5)), 128);
    EXPECT_GT(qrCode(QString(200, QLatin1Char('x'))).width(), code.width());
}

TEST(ReportWindowTest, SameNameRefillsTheOpenWindowAndExportsIt)
{
    QMdiArea area;
    nbk::ui::setMdiArea(&area);
    ReportLayout layout = passengerLayout();
    ReportWindow *w = ReportWindow::show(QStringLiteral("DataReport1"), layout, passengers(3));
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("DataReport1"));
    auto *sub = qobject_cast<QMdiSubWindow *>(w->parentWidget());
    ASSERT_NE(sub, nullptr);  // a child window of the main window's frame
    EXPECT_EQ(sub->windowTitle(), QStringLiteral("DataReport1"));
    EXPECT_EQ(w->previewWidget()->pageCount(), 1);

    layout.title = QStringLiteral("Refilled");
    ReportWindow *again = ReportWindow::show(QStringLiteral("DataReport1"), layout, passengers(30));
    EXPECT_EQ(again, w);
    EXPECT_EQ(area.subWindowList().size(), 1);
    EXPECT_EQ(sub->windowTitle(), QStringLiteral("Refilled"));
    EXPECT_EQ(w->report().pageCount(), 2);
    EXPECT_EQ(w->previewWidget()->pageCount(), 2);
    EXPECT_EQ(ReportWindow::find(QStringLiteral("DataReport1")), w);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("export.pdf"));
    ASSERT_TRUE(w->exportPdf(path));
    EXPECT_TRUE(pdfText(path).contains(QStringLiteral("Passenger 30")));
    QString error;
    EXPECT_FALSE(w->exportPdf(dir.filePath(QStringLiteral("no/such/dir.pdf")), &error));
    EXPECT_FALSE(error.isEmpty());

    ReportWindow *other = ReportWindow::show(QStringLiteral("TimeTable"), layout, passengers(1));
    EXPECT_NE(other, w);
    EXPECT_EQ(area.subWindowList().size(), 2);
    nbk::ui::setMdiArea(nullptr);
}

// The preview through its real window in the frame: the size it opens at and its keys.
namespace {

// Runs `act` on the modal dialog of type D once it is open; false when none opened.
template <class D>
bool onDialog(const std::function<void()> &open, const std::function<void(D *)> &act)
{
    bool seen = false;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto *d = qobject_cast<D *>(QApplication::activeModalWidget())) {
            seen = true;
            poll.stop();
            act(d);
        }
    });
    poll.start();
    open();
    return seen;
}

class ReportPreview : public testing::Test {
protected:
    void SetUp() override
    {
        frame.resize(1280, 1100);
        frame.show();
        nbk::ui::setMdiArea(&frame);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    }
    void TearDown() override
    {
        for (QMdiSubWindow *s : frame.subWindowList())
            delete s;
        nbk::ui::setMdiArea(nullptr);
    }
    static QMdiSubWindow *subOf(QWidget *w) { return qobject_cast<QMdiSubWindow *>(w->parentWidget()); }
    QMdiArea frame;
};

TEST_F(ReportPreview, OpensAtThePagesWidthWithinTheFrameAndFitsThePageToIt)
{
    ReportWindow *w = ReportWindow::show(QStringLiteral("DataReport1"), passengerLayout(), passengers(40));
    QMdiSubWindow *sub = subOf(w);
    ASSERT_TRUE(sub);
    const QSize page = nbk::ui::twipsToPixels(w->report().page.width, w->report().page.height);
    EXPECT_GE(w->previewWidget()->width(), page.width());
    EXPECT_TRUE(frame.viewport()->rect().contains(sub->geometry())) << sub->width() << "x" << sub->height();
    // the page fills the width at about its own size: readable, not a thumbnail
    EXPECT_EQ(w->previewWidget()->zoomMode(), QPrintPreviewWidget::FitToWidth);
    EXPECT_GT(w->previewWidget()->zoomFactor(), 0.9);

    // a smaller frame: the window takes what there is
    frame.resize(700, 500);
    ReportWindow *small = ReportWindow::show(QStringLiteral("Small"), passengerLayout(), passengers(1));
    EXPECT_TRUE(frame.viewport()->rect().contains(subOf(small)->geometry()));
    EXPECT_GT(subOf(small)->width(), 500);
}

TEST_F(ReportPreview, KeysTurnPagesZoomPrintExportAndClose)
{
    ReportWindow *w = ReportWindow::show(QStringLiteral("DataReport1"), passengerLayout(), passengers(40));
    QPrintPreviewWidget *preview = w->previewWidget();
    ASSERT_EQ(w->report().pageCount(), 3);
    frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    preview->setFocus();
    EXPECT_EQ(w->pageText(), QStringLiteral("Page 1 of 3"));

    struct Turn { Qt::Key key; int page; };
    for (const Turn t : {Turn{Qt::Key_PageDown, 2}, Turn{Qt::Key_PageDown, 3}, Turn{Qt::Key_PageDown, 3},
                         Turn{Qt::Key_PageUp, 2}}) {
        QTest::keyClick(preview, t.key);
        EXPECT_EQ(preview->currentPage(), t.page);
        EXPECT_EQ(w->pageText(), QStringLiteral("Page %1 of 3").arg(t.page));
    }

    const double fitted = preview->zoomFactor();
    QTest::keyClick(preview, Qt::Key_Plus, Qt::ControlModifier);
    const double in = preview->zoomFactor();
    EXPECT_GT(in, fitted);
    QTest::keyClick(preview, Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_GT(preview->zoomFactor(), in);
    QTest::keyClick(preview, Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_NEAR(preview->zoomFactor(), in, 1e-9);

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("list.pdf"));
    EXPECT_TRUE(onDialog<QFileDialog>([&] { QTest::keyClick(preview, Qt::Key_S, Qt::ControlModifier); },
                                      [&](QFileDialog *d) {
                                          // typed, as a clerk would: the dialog sets its own
                                          // choice late while its folder loads
                                          auto *name = d->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
                                          ASSERT_NE(name, nullptr);
                                          name->setText(pdf);
                                          static_cast<QDialog *>(d)->accept();
                                      }));
    EXPECT_TRUE(pdfText(pdf).contains(QStringLiteral("Passenger 40")));

    // the focus comes back to the preview once the dialog is gone
    auto refocus = [&] {
        frame.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
        preview->setFocus();
    };
    refocus();
    EXPECT_TRUE(onDialog<QPrintDialog>([&] { QTest::keyClick(preview, Qt::Key_P, Qt::ControlModifier); },
                                       [](QPrintDialog *d) { d->reject(); }));
    refocus();

    QTest::keyClick(preview, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(ReportWindow::find(QStringLiteral("DataReport1")), nullptr);
    EXPECT_TRUE(frame.subWindowList().isEmpty());
}

}  // namespace
