#pragma once
#include "reports/engine/Paginator.h"

#include <QWidget>

class QPrintPreviewWidget;
class QPrinter;
class QAction;

namespace nbk::report {

// The preview of a laid-out report as a child window of the main window: Print (Ctrl+P),
// Export PDF (Ctrl+S), fit width, fit page, zoom in and out (Ctrl++, Ctrl+-), the previous
// and next page (PageUp, PageDown) with the page count, and Escape to close. It opens at
// the page's own width and height, as far as the frame has room, with the page fitted to
// the width. A report window outlives the screen that filled it: the next show() under the
// same objectName refills the open window instead of opening another.
class ReportWindow : public QWidget {
    Q_OBJECT
public:
    explicit ReportWindow(QWidget *parent = nullptr);
    ~ReportWindow() override;

    using QWidget::show;  // the statics below must not hide it
    // Opens (or finds) the window named objectName, fills it and shows it.
    static ReportWindow *show(const QString &objectName, const PagedReport &report);
    static ReportWindow *show(const QString &objectName, const ReportLayout &layout,
                              const ReportData &data);
    static ReportWindow *find(const QString &objectName);

    // Replaces the pages shown; the window title becomes the report's title.
    void setReport(const PagedReport &report);
    const PagedReport &report() const;

    // Export without the file dialog (tests and tools); the Export action asks for the name.
    bool exportPdf(const QString &path, QString *error = nullptr);
    // The Print action: the print dialog, then the pages on the chosen printer.
    void printWithDialog();

    QPrintPreviewWidget *previewWidget() const;
    QAction *printAction() const;
    QAction *exportAction() const;
    QString pageText() const;  // "Page 2 of 3"

    // The page's size on this screen with the toolbar and scroll bar, within the frame.
    QSize sizeHint() const override;

private:
    void updatePageText();
    void exportWithDialog();
    void paintPages(QPrinter *printer);

    struct Private;
    Private *d_;
};

}  // namespace nbk::report
