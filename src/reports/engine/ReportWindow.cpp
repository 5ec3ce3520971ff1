#include "reports/engine/ReportWindow.h"

#include "reports/engine/Renderer.h"
#include "ui/ChildWindows.h"
#include "ui/MsgBox.h"
#include "data/MessageHook.h"

#include <QAction>
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
    QAction *print = nullptr;
    QAction *exportPdf = nullptr;
    PagedReport report;
};

ReportWindow::ReportWindow(QWidget *parent) : QWidget(parent), d_(new Private)
{
    d_->printer.setFullPage(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *bar = new QToolBar(this);
    d_->print = bar->addAction(tr("&Print..."));
    d_->print->setObjectName(QStringLiteral("actPrint"));
    d_->exportPdf = bar->addAction(tr("&Export PDF..."));
    d_->exportPdf->setObjectName(QStringLiteral("actExportPdf"));
    bar->addSeparator();
    QAction *zoomIn = bar->addAction(tr("Zoom &In"));
    QAction *zoomOut = bar->addAction(tr("Zoom &Out"));
    QAction *fit = bar->addAction(tr("&Whole Page"));
    layout->addWidget(bar);

    d_->preview = new QPrintPreviewWidget(&d_->printer, this);
    d_->preview->setObjectName(QStringLiteral("Preview"));
    layout->addWidget(d_->preview, 1);

    connect(d_->preview, &QPrintPreviewWidget::paintRequested, this,
            [this](QPrinter *p) { paintPages(p); });
    connect(d_->print, &QAction::triggered, this, &ReportWindow::printWithDialog);
    connect(d_->exportPdf, &QAction::triggered, this, &ReportWindow::exportWithDialog);
    connect(zoomIn, &QAction::triggered, d_->preview, [this] { d_->preview->zoomIn(); });
    connect(zoomOut, &QAction::triggered, d_->preview, [this] { d_->preview->zoomOut(); });
    connect(fit, &QAction::triggered, d_->preview, &QPrintPreviewWidget::fitInView);
    resize(820, 900);
}

ReportWindow::~ReportWindow() { delete d_; }

ReportWindow *ReportWindow::find(const QString &objectName)
{
    return nbk::ui::childWindow<ReportWindow>(objectName);
}

ReportWindow *ReportWindow::show(const QString &objectName, const PagedReport &report)
{
    ReportWindow *w = nbk::ui::openChildWindow<ReportWindow>(
        objectName, [] { return new ReportWindow; });
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
