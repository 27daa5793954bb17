#include "report_preview.h"

#include <QAction>
#include <QDir>
#include <QPageLayout>
#include <QPdfWriter>
#include <QToolBar>

#include "error_trap.h"
#include "failure.h"
#include "prompts.h"

namespace {

// The paper of a page layout, as it is oriented, in twips.
QSizeF paperInTwips(const QPageLayout& layout) {
    const QSizeF millimetres = layout.fullRect(QPageLayout::Millimeter).size();
    return millimetres * (1440 / 25.4);
}

}  // namespace

PreviewPrinter::PreviewPrinter() : printer(QPrinter::HighResolution) {
    printer.setPageSize(BandReport::preferredPaperSize());
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setFullPage(true);  // the report draws its own margins
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);
}

ReportPreview::ReportPreview(Prompts& prompts, ReportLayout layout, ReportData records,
                             QWidget* parent)
    : QPrintPreviewDialog(&(static_cast<PreviewPrinter*>(this)->printer), parent),
      m_prompts(prompts),
      m_layout(std::move(layout)),
      m_data(std::move(records)) {
    setObjectName(QStringLiteral("ReportPreview"));
    setWindowTitle(m_layout.caption);
    connect(this, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* target) { paint(target); });
    if (auto* toolBar = findChild<QToolBar*>()) {
        toolBar->addSeparator();
        QAction* exportAction = toolBar->addAction(QStringLiteral("Export PDF"));
        exportAction->setObjectName(QStringLiteral("ExportPdf"));
        exportAction->setToolTip(QStringLiteral("Save the report as a PDF file"));
        connect(exportAction, &QAction::triggered, this, [this] { ExportPdf_Click(); });
    }
    resize(1000, 720);
}

ReportPages ReportPreview::pagesForPrinter() const {
    return BandReport::layOut(m_layout, m_data, paperInTwips(PreviewPrinter::printer.pageLayout()));
}

void ReportPreview::paint(QPrinter* target) {
    const ReportPages pages =
        BandReport::layOut(m_layout, m_data, paperInTwips(target->pageLayout()));
    BandReport::draw(*target, pages);
}

void ReportPreview::exportPdf(const QString& path) const {
    QPdfWriter writer(path);
    QPageLayout page = PreviewPrinter::printer.pageLayout();
    page.setMargins(QMarginsF(0, 0, 0, 0));
    writer.setPageLayout(page);
    writer.setResolution(1200);
    writer.setTitle(m_layout.caption);
    writer.setCreator(QStringLiteral("Helvarine"));
    const ReportPages pages = BandReport::layOut(m_layout, m_data, paperInTwips(page));
    try {
        BandReport::draw(writer, pages);
    } catch (const Failure&) {
        throw Failure(QStringLiteral("The PDF file %1 could not be written.").arg(path));
    }
}

void ReportPreview::ExportPdf_Click() {
    ErrorTrap trap{m_prompts, QStringLiteral("ReportPreview"), QStringLiteral("ExportPdf_Click")};
    QString path;
    trap.at(100, [&] {
        path =
            m_prompts.saveFileName(QStringLiteral("Export PDF"),
                                   QDir::home().filePath(m_layout.caption + QLatin1String(".pdf")),
                                   QStringLiteral("PDF files (*.pdf)"));
    });
    if (path.isEmpty()) {
        return;
    }
    if (!path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive)) {
        path += QLatin1String(".pdf");
    }
    trap.at(102, [&] { exportPdf(path); });
}
