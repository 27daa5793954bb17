#pragma once

#include <QDialog>
#include <QPrinter>

#include "band_report.h"
#include "report_layout.h"

class Prompts;
class PreviewPages;
class QBoxLayout;
class QLabel;
class QSpinBox;

// Keeps the printer alive for as long as the preview that draws on it.
struct PreviewPrinter {
    PreviewPrinter();
    QPrinter printer;
};

// The print preview of one report, on a landscape page of the paper the user's locale prefers:
// pages through, zooms (in, out, fit width, fit page), shows one or two pages side by side,
// prints through the platform's print dialog, and its "Export PDF" action writes the same pages
// to a PDF file. The report is laid out once; only the pages in view are drawn (PreviewPages).
// Every drawing (screen, printer, PDF) goes through the band-report engine, laid out for the
// page size of the device it draws on. Escape closes it.
class ReportPreview : private PreviewPrinter, public QDialog {
public:
    ReportPreview(Prompts& prompts, ReportLayout layout, ReportData records,
                  QWidget* parent = nullptr);

    const ReportLayout& layout() const { return m_layout; }
    QPrinter& printer() { return PreviewPrinter::printer; }
    // The pages shown, laid out on the printer's paper.
    const ReportPages& pages() const { return m_pages; }
    PreviewPages& view() const { return *m_view; }

    // The pages as they are laid out on the printer's current paper.
    ReportPages pagesForPrinter() const;
    // Writes the report to a PDF file on the printer's current paper and gives the number of
    // pages written; throws a Failure when the file cannot be written.
    int exportPdf(const QString& path) const;
    // The "Export PDF" action: asks for a file and writes it.
    void ExportPdf_Click();
    // The "Print" action: the platform's print dialog, then the report on the printer chosen.
    void Print_Click();

private:
    void createToolBar(QBoxLayout& column);
    void showPageNumber(int page);

    Prompts& m_prompts;
    ReportLayout m_layout;
    ReportData m_data;
    ReportPages m_pages;
    PreviewPages* m_view = nullptr;
    QSpinBox* m_pageNumber = nullptr;
    QLabel* m_pageCount = nullptr;
    QLabel* m_zoomShown = nullptr;
};
