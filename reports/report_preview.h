#pragma once

#include <QPrintPreviewDialog>
#include <QPrinter>

#include "band_report.h"
#include "report_layout.h"

class Prompts;

// Keeps the printer alive for as long as the preview that draws on it.
struct PreviewPrinter {
    PreviewPrinter();
    QPrinter printer;
};

// The print preview of one report: pages through, zooms, sets up the page and prints, on a
// landscape page of the paper the user's locale prefers; its "Export PDF" action writes the
// same pages to a PDF file. Every drawing (preview, printer, PDF) goes through the band-report
// engine, laid out for the page size of the device it draws on.
class ReportPreview : private PreviewPrinter, public QPrintPreviewDialog {
public:
    ReportPreview(Prompts& prompts, ReportLayout layout, ReportData records,
                  QWidget* parent = nullptr);

    const ReportLayout& layout() const { return m_layout; }
    QPrinter& printer() { return PreviewPrinter::printer; }

    // The pages as they are laid out on the printer's current paper.
    ReportPages pagesForPrinter() const;
    // Writes the report to a PDF file on the printer's current paper; throws a Failure when the
    // file cannot be written.
    void exportPdf(const QString& path) const;
    // The "Export PDF" action: asks for a file and writes it.
    void ExportPdf_Click();

private:
    void paint(QPrinter* printer);

    Prompts& m_prompts;
    ReportLayout m_layout;
    ReportData m_data;
};
