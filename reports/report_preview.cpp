#include "report_preview.h"

#include <QAction>
#include <QActionGroup>
#include <QDir>
#include <QLabel>
#include <QPageLayout>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QSpinBox>
#include <QToolBar>
#include <QVBoxLayout>
#include <optional>

#include "error_trap.h"
#include "failure.h"
#include "preview_pages.h"
#include "prompts.h"
#include "twips.h"

namespace {

// The paper of a page layout, as it is oriented, in twips.
QSizeF paperInTwips(const QPageLayout& layout) {
    const QSizeF millimetres = layout.fullRect(QPageLayout::Millimeter).size();
    return millimetres * (Twips::kPerInch / 25.4);
}

// One action of the tool bar: its name, caption, tooltip and shortcut.
struct ToolAction {
    const char* name;
    const char* caption;
    const char* tip;
    QKeySequence shortcut = {};
};

}  // namespace

PreviewPrinter::PreviewPrinter() : printer(QPrinter::HighResolution) {
    printer.setPageSize(BandReport::preferredPaperSize());
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setFullPage(true);  // the report draws its own margins
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);
}

ReportPreview::ReportPreview(Prompts& prompts, ReportLayout layout, ReportData records,
                             QWidget* parent)
    : QDialog(parent), m_prompts(prompts), m_layout(std::move(layout)), m_data(std::move(records)) {
    setObjectName(QStringLiteral("ReportPreview"));
    setWindowTitle(m_layout.caption);
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    m_pages = pagesForPrinter();
    m_view = new PreviewPages(this);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    createToolBar(*column);
    column->addWidget(m_view, 1);
    connect(m_view, &PreviewPages::currentPageChanged, this,
            [this](int page) { showPageNumber(page); });
    connect(m_view, &PreviewPages::zoomChanged, this, [this](double zoom) {
        m_zoomShown->setText(QStringLiteral("%1%").arg(std::lround(zoom * 100)));
    });
    m_view->setPages(&m_pages);
    m_view->setFocus();
    resize(1000, 720);
}

void ReportPreview::createToolBar(QBoxLayout& column) {
    auto* bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("PreviewToolBar"));
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    column.addWidget(bar);
    const auto add = [&](const ToolAction& row, auto handler) {
        QAction* action = bar->addAction(QString::fromLatin1(row.caption));
        action->setObjectName(QString::fromLatin1(row.name));
        action->setToolTip(QString::fromLatin1(row.tip));
        action->setShortcut(row.shortcut);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    const auto page = [this](int delta) {
        return [this, delta] {
            const int last = m_pages.pageCount - 1;
            const int target = delta == -2 ? 0 : delta == 2 ? last : m_view->currentPage() + delta;
            m_view->showPage(target);
        };
    };
    add({"FirstPage", "First", "First page (Ctrl+Home)", Qt::CTRL | Qt::Key_Home}, page(-2));
    add({"PreviousPage", "Previous", "Previous page (Page Up)", Qt::Key_PageUp}, page(-1));
    m_pageNumber = new QSpinBox(bar);
    m_pageNumber->setObjectName(QStringLiteral("PageNumber"));
    m_pageNumber->setAccessibleName(QStringLiteral("Page"));
    m_pageNumber->setRange(1, std::max(1, m_pages.pageCount));
    m_pageNumber->setKeyboardTracking(false);
    connect(m_pageNumber, &QSpinBox::valueChanged, this,
            [this](int shown) { m_view->showPage(shown - 1); });
    bar->addWidget(m_pageNumber);
    m_pageCount = new QLabel(QStringLiteral(" of %1 ").arg(m_pages.pageCount), bar);
    m_pageCount->setObjectName(QStringLiteral("PageCount"));
    bar->addWidget(m_pageCount);
    add({"NextPage", "Next", "Next page (Page Down)", Qt::Key_PageDown}, page(1));
    add({"LastPage", "Last", "Last page (Ctrl+End)", Qt::CTRL | Qt::Key_End}, page(2));
    bar->addSeparator();
    add({"ZoomOut", "Zoom out", "Zoom out (Ctrl+-)", QKeySequence::ZoomOut},
        [this] { m_view->zoomOut(); });
    m_zoomShown = new QLabel(bar);
    m_zoomShown->setObjectName(QStringLiteral("ZoomShown"));
    m_zoomShown->setMinimumWidth(48);
    m_zoomShown->setAlignment(Qt::AlignCenter);
    bar->addWidget(m_zoomShown);
    add({"ZoomIn", "Zoom in", "Zoom in (Ctrl++)", QKeySequence::ZoomIn},
        [this] { m_view->zoomIn(); });
    auto* fits = new QActionGroup(this);
    auto* across = new QActionGroup(this);
    const auto checkable = [](QAction* action, QActionGroup* group, bool checked) {
        action->setCheckable(true);
        action->setChecked(checked);
        group->addAction(action);
    };
    checkable(add({"FitWidth", "Fit width", "Fit the page's width", Qt::CTRL | Qt::Key_1},
                  [this] { m_view->setFit(PreviewPages::Fit::Width); }),
              fits, true);
    checkable(add({"FitPage", "Fit page", "Fit the whole page", Qt::CTRL | Qt::Key_2},
                  [this] { m_view->setFit(PreviewPages::Fit::Page); }),
              fits, false);
    fits->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    connect(m_view, &PreviewPages::zoomChanged, fits, [this, fits] {
        if (m_view->fit() == PreviewPages::Fit::None && fits->checkedAction() != nullptr) {
            fits->checkedAction()->setChecked(false);
        }
    });
    bar->addSeparator();
    checkable(add({"OnePage", "One page", "One page at a time", {}},
                  [this] { m_view->setPagesAcross(1); }),
              across, true);
    checkable(add({"TwoPages", "Two pages", "Two pages side by side", {}},
                  [this] { m_view->setPagesAcross(2); }),
              across, false);
    bar->addSeparator();
    add({"Print", "Print...", "Print the report (Ctrl+P)", QKeySequence::Print},
        [this] { Print_Click(); });
    QAction* exportAction = bar->addAction(QStringLiteral("Export PDF"));
    exportAction->setObjectName(QStringLiteral("ExportPdf"));
    exportAction->setToolTip(QStringLiteral("Save the report as a PDF file"));
    connect(exportAction, &QAction::triggered, this, [this] { ExportPdf_Click(); });
    bar->addSeparator();
    add({"Close", "Close", "Close the preview (Esc)", {}}, [this] { reject(); });
}

void ReportPreview::showPageNumber(int page) {
    const QSignalBlocker quiet(m_pageNumber);
    m_pageNumber->setValue(page + 1);
}

ReportPages ReportPreview::pagesForPrinter() const {
    return BandReport::layOut(m_layout, m_data, paperInTwips(PreviewPrinter::printer.pageLayout()));
}

int ReportPreview::exportPdf(const QString& path) const {
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
    return pages.pageCount;
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
    std::optional<int> written;
    trap.at(102, [&] { written = exportPdf(path); });
    // Said as the CSV export says it: where the file went.
    if (written) {
        trap.at(104, [&] {
            m_prompts.inform(
                QStringLiteral("%1 %2 written to %3")
                    .arg(*written)
                    .arg(*written == 1 ? QStringLiteral("page was") : QStringLiteral("pages were"),
                         QDir::toNativeSeparators(path)));
        });
    }
}

void ReportPreview::Print_Click() {
    ErrorTrap trap{m_prompts, QStringLiteral("ReportPreview"), QStringLiteral("Print_Click")};
    QPrintDialog dialog(&printer(), this);
    dialog.setObjectName(QStringLiteral("PrintDialog"));
    dialog.setOption(QAbstractPrintDialog::PrintToFile);
    trap.at(100, [&] { m_prompts.showModal(dialog); });
    if (dialog.result() != QDialog::Accepted) {
        return;
    }
    // The paper chosen in the dialog may differ from the one shown: lay out for it.
    trap.at(102, [&] {
        QPrinter& target = PreviewPrinter::printer;
        target.setFullPage(true);
        target.setDocName(m_layout.caption);
        BandReport::draw(target,
                         BandReport::layOut(m_layout, m_data, paperInTwips(target.pageLayout())));
    });
}
