#include "reports/screens/ReportWindow.h"

#include "reports/engine/Renderer.h"
#include "reports/screens/PrintReport.h"
#include "ui/ChildWindows.h"
#include "ui/MsgBox.h"
#include "ui/Twips.h"
#include "ui/prompt/Prompt.h"

#include <QAction>
#include <QLabel>
#include <QStyle>
#include <QFileDialog>
#include <QMdiSubWindow>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QToolBar>
#include <QVBoxLayout>

namespace nbk::report {

struct ReportWindow::Private {
    QPrinter printer{QPrinter::HighResolution};
    QPrintPreviewWidget *preview = nullptr;
    QToolBar *bar = nullptr;
    QLabel *pages = nullptr;
    QAction *print = nullptr;
    QAction *exportPdf = nullptr;
    PagedReport report;
};

namespace {

// An action of the window's toolbar whose keys work wherever the focus is in the window.
QAction *barAction(QWidget *window, QToolBar *bar, const QString &text, const char *name,
                   const QList<QKeySequence> &keys)
{
    QAction *a = bar->addAction(text);
    a->setObjectName(QString::fromLatin1(name));
    a->setShortcuts(keys);
    a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    if (!keys.isEmpty())
        a->setToolTip(QStringLiteral("%1 (%2)").arg(QString(text).remove(QLatin1Char('&')),
                                                  keys.first().toString(QKeySequence::NativeText)));
    window->addAction(a);
    return a;
}

}  // namespace

ReportWindow::ReportWindow(QWidget *parent) : QWidget(parent), d_(new Private)
{
    d_->printer.setFullPage(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    d_->bar = new QToolBar(this);
    QToolBar *bar = d_->bar;
    d_->print = barAction(this, bar, tr("&Print..."), "actPrint", {QKeySequence::Print});
    d_->exportPdf = barAction(this, bar, tr("&Export PDF..."), "actExportPdf", {QKeySequence::Save});
    bar->addSeparator();
    QAction *fitWidth = barAction(this, bar, tr("Fit &Width"), "actFitWidth", {});
    QAction *fitPage = barAction(this, bar, tr("Fit P&age"), "actFitPage", {});
    // Ctrl++ needs Shift on most keyboards; Ctrl+= is the same key without it
    QAction *zoomIn = barAction(this, bar, tr("Zoom &In"), "actZoomIn",
                                {QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    QAction *zoomOut = barAction(this, bar, tr("Zoom &Out"), "actZoomOut", {QKeySequence::ZoomOut});
    bar->addSeparator();
    QAction *previous = barAction(this, bar, tr("P&revious Page"), "actPreviousPage", {QKeySequence(Qt::Key_PageUp)});
    d_->pages = new QLabel(bar);
    d_->pages->setObjectName(QStringLiteral("lblPages"));
    d_->pages->setContentsMargins(6, 0, 6, 0);
    bar->addWidget(d_->pages);
    QAction *next = barAction(this, bar, tr("&Next Page"), "actNextPage", {QKeySequence(Qt::Key_PageDown)});
    bar->addSeparator();
    QAction *closeWindow = barAction(this, bar, tr("&Close"), "actClose", {QKeySequence(Qt::Key_Escape)});
    layout->addWidget(bar);

    d_->preview = new QPrintPreviewWidget(&d_->printer, this);
    d_->preview->setObjectName(QStringLiteral("Preview"));
    d_->preview->fitToWidth();
    layout->addWidget(d_->preview, 1);
    setFocusProxy(d_->preview);

    connect(d_->preview, &QPrintPreviewWidget::paintRequested, this,
            [this](QPrinter *p) { paintPages(p); });
    connect(d_->preview, &QPrintPreviewWidget::previewChanged, this, [this] { updatePageText(); });
    connect(d_->print, &QAction::triggered, this, &ReportWindow::printWithDialog);
    connect(d_->exportPdf, &QAction::triggered, this, &ReportWindow::exportWithDialog);
    connect(fitWidth, &QAction::triggered, d_->preview, &QPrintPreviewWidget::fitToWidth);
    connect(fitPage, &QAction::triggered, d_->preview, &QPrintPreviewWidget::fitInView);
    connect(zoomIn, &QAction::triggered, d_->preview, [this] { d_->preview->zoomIn(); });
    connect(zoomOut, &QAction::triggered, d_->preview, [this] { d_->preview->zoomOut(); });
    connect(previous, &QAction::triggered, this, [this] {
        d_->preview->setCurrentPage(std::max(1, d_->preview->currentPage() - 1));
        updatePageText();
    });
    connect(next, &QAction::triggered, this, [this] {
        d_->preview->setCurrentPage(std::min(d_->preview->pageCount(), d_->preview->currentPage() + 1));
        updatePageText();
    });
    connect(closeWindow, &QAction::triggered, this, [this] { nbk::ui::closeChildWindow(this); });
}

ReportWindow::~ReportWindow() { delete d_; }

ReportWindow *ReportWindow::find(const QString &objectName)
{
    return nbk::ui::childWindow<ReportWindow>(objectName);
}

ReportWindow *ReportWindow::show(const QString &objectName, const PagedReport &report)
{
    bool created = false;
    ReportWindow *w = nbk::ui::openChildWindow<ReportWindow>(objectName, [&] {
        // filled before it is shown, so that it opens at the size of the report's page
        auto *made = new ReportWindow;
        made->setReport(report);
        created = true;
        return made;
    });
    if (!created)
        w->setReport(report);
    nbk::ui::showChildWindow(w);  // an open window comes to the front when refilled
    return w;
}

ReportWindow *ReportWindow::show(const QString &objectName, const ReportLayout &layout,
                                 const ReportData &data)
{
    return show(objectName, paginate(layout, data));
}

void ReportWindow::setReport(const PagedReport &report)
{
    d_->report = report;
    setWindowTitle(report.title);
    if (auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget()))
        sub->setWindowTitle(report.title);
    d_->preview->updatePreview();
    updatePageText();
}

void ReportWindow::updatePageText()
{
    d_->pages->setText(pageText());
}

QString ReportWindow::pageText() const
{
    return tr("Page %1 of %2").arg(std::max(1, d_->preview->currentPage())).arg(std::max(1, d_->report.pageCount()));
}

QSize ReportWindow::sizeHint() const
{
    const QSize page = nbk::ui::twipsToPixels(d_->report.page.width, d_->report.page.height);
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int around = 2 * 16;  // the preview's frame and the gap it leaves around the page
    QSize wanted(page.width() + scrollBar + around,
                 d_->bar->sizeHint().height() + page.height() + around);
    if (QMdiArea *frame = nbk::ui::mdiArea()) {
        // the child window's frame and title bar come on top of this
        const QSize room = frame->viewport()->size() - QSize(16, 40);
        wanted = wanted.boundedTo(room);
    }
    return wanted.expandedTo(minimumSizeHint());
}

const PagedReport &ReportWindow::report() const { return d_->report; }

bool ReportWindow::exportPdf(const QString &path, QString *error)
{
    return writePdf(d_->report, path, error);
}

void ReportWindow::printWithDialog()
{
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!print(d_->report, printer))
        nbk::ui::MsgBox(tr("The report could not be printed."), nbk::mb::Critical | nbk::mb::OKOnly,
                        windowTitle());
}

void ReportWindow::exportWithDialog()
{
    const QString path = QFileDialog::getSaveFileName(
        this, tr("Export PDF"), d_->report.title + QStringLiteral(".pdf"), tr("PDF files (*.pdf)"));
    if (path.isEmpty())
        return;
    QString error;
    if (!exportPdf(path, &error))
        nbk::ui::MsgBox(error, nbk::mb::Critical | nbk::mb::OKOnly, windowTitle());
}

void ReportWindow::paintPages(QPrinter *printer)
{
    if (printer)
        print(d_->report, *printer);
}

QPrintPreviewWidget *ReportWindow::previewWidget() const { return d_->preview; }
QAction *ReportWindow::printAction() const { return d_->print; }
QAction *ReportWindow::exportAction() const { return d_->exportPdf; }

}  // namespace nbk::report
