// The preview through its real window in the frame: the size it opens at and its keys.
#include "reports/QStringPrint.h"
#include "reports/engine/ReportWindow.h"
#include "ui/ChildWindows.h"
#include "ui/Twips.h"

#include <QFileDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace nbk::report;

namespace {

ReportLayout listLayout()
{
    ReportLayout l(QStringLiteral("List"), QStringLiteral("Passenger List"));
    l.addSection(QStringLiteral("Detail"), SectionKind::Detail, 1440)
        .addTextBox(QStringLiteral("txtNAME"), QStringLiteral("NAME"), {144, 144, 4000, 285});
    return l;
}

ReportData names(int n)
{
    ReportData d;
    d.columns = {QStringLiteral("NAME")};
    for (int i = 1; i <= n; ++i)
        d.rows.push_back({QStringLiteral("Passenger %1").arg(i)});
    return d;
}

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
    ReportWindow *w = ReportWindow::show(QStringLiteral("List"), listLayout(), names(30));
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
    ReportWindow *small = ReportWindow::show(QStringLiteral("Small"), listLayout(), names(1));
    EXPECT_TRUE(frame.viewport()->rect().contains(subOf(small)->geometry()));
    EXPECT_GT(subOf(small)->width(), 500);
}

TEST_F(ReportPreview, KeysTurnPagesZoomPrintExportAndClose)
{
    // nine rows a page
    ReportWindow *w = ReportWindow::show(QStringLiteral("List"), listLayout(), names(24));
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
                                          d->selectFile(pdf);
                                          static_cast<QDialog *>(d)->accept();
                                      }));
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    text.waitForFinished(30000);
    EXPECT_TRUE(QString::fromUtf8(text.readAllStandardOutput()).contains(QStringLiteral("Passenger 24")));

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
    EXPECT_EQ(ReportWindow::find(QStringLiteral("List")), nullptr);
    EXPECT_TRUE(frame.subWindowList().isEmpty());
}

}  // namespace
