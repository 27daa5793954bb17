#include "preview_pages.h"

#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <functional>

#include "twips.h"

namespace {

constexpr double kZoomStep = 1.25;

}  // namespace

PreviewPages::PreviewPages(QWidget* parent) : QAbstractScrollArea(parent) {
    setObjectName(QStringLiteral("PreviewPages"));
    setBackgroundRole(QPalette::Dark);
    viewport()->setBackgroundRole(QPalette::Dark);
    viewport()->setAutoFillBackground(true);
    setFocusPolicy(Qt::StrongFocus);
}

void PreviewPages::setPages(const ReportPages* pages) {
    m_lastPage = -1;
    relayout([&] { m_pages = pages; });
}

QSizeF PreviewPages::pageSize() const {
    if (m_pages == nullptr) {
        return {};
    }
    const double perTwipX = m_zoom * logicalDpiX() / Twips::kPerInch;
    const double perTwipY = m_zoom * logicalDpiY() / Twips::kPerInch;
    return QSizeF(m_pages->pageSize.width() * perTwipX, m_pages->pageSize.height() * perTwipY);
}

int PreviewPages::rows() const {
    return m_pages == nullptr ? 0 : (m_pages->pageCount + m_across - 1) / m_across;
}

double PreviewPages::rowHeight() const {
    return pageSize().height() + kGap;
}

// Where a page stands in the whole strip of pages, before scrolling.
QRectF PreviewPages::pageRect(int page) const {
    const QSizeF size = pageSize();
    const double rowWidth = m_across * size.width() + (m_across - 1) * kGap;
    const double left = std::max<double>(kGap, (viewport()->width() - rowWidth) / 2);
    const int row = page / m_across;
    const int column = page % m_across;
    return QRectF(QPointF(left + column * (size.width() + kGap), kGap + row * rowHeight()), size);
}

// Changes what the geometry depends on, keeping the current page at the top of the view.
void PreviewPages::relayout(const std::function<void()>& change) {
    const int page = std::max(0, m_lastPage);
    m_relaying = true;
    change();
    applyFit();
    updateScrollBars();
    m_relaying = false;
    showPage(page);
    viewport()->update();
}

void PreviewPages::setZoom(double zoom) {
    relayout([&] {
        m_fit = Fit::None;
        m_zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
    });
    Q_EMIT zoomChanged(m_zoom);
}

void PreviewPages::zoomIn() {
    setZoom(m_zoom * kZoomStep);
}

void PreviewPages::zoomOut() {
    setZoom(m_zoom / kZoomStep);
}

void PreviewPages::setFit(Fit fit) {
    relayout([&] { m_fit = fit; });
}

void PreviewPages::setPagesAcross(int across) {
    relayout([&] { m_across = std::clamp(across, 1, 2); });
}

// Recomputes the zoom of a fit from the room the view has.
void PreviewPages::applyFit() {
    if (m_pages == nullptr || m_fit == Fit::None || m_pages->pageSize.isEmpty()) {
        return;
    }
    const QSizeF paper = pageSize() / m_zoom;  // at the paper's real size
    const double roomWide = viewport()->width() - (m_across + 1) * kGap;
    const double wide = roomWide / (m_across * paper.width());
    const double high = (viewport()->height() - 2 * kGap) / paper.height();
    const double zoom = m_fit == Fit::Width ? wide : std::min(wide, high);
    const double kept = std::clamp(zoom, kMinZoom, kMaxZoom);
    if (!qFuzzyCompare(kept, m_zoom)) {
        m_zoom = kept;
        Q_EMIT zoomChanged(m_zoom);
    }
}

void PreviewPages::updateScrollBars() {
    const QSizeF size = pageSize();
    const double width = m_across * size.width() + (m_across + 1) * kGap;
    const double height = rows() * rowHeight() + kGap;
    horizontalScrollBar()->setRange(
        0, std::max(0, static_cast<int>(std::ceil(width)) - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    verticalScrollBar()->setRange(
        0, std::max(0, static_cast<int>(std::ceil(height)) - viewport()->height()));
    verticalScrollBar()->setPageStep(viewport()->height());
    verticalScrollBar()->setSingleStep(std::max(1, static_cast<int>(rowHeight() / 10)));
}

int PreviewPages::pageAtTop() const {
    if (m_pages == nullptr || m_pages->pageCount == 0) {
        return 0;
    }
    // The row at the top of the view, once half of a row or a third of the view is past.
    const double probe =
        verticalScrollBar()->value() + std::min(viewport()->height() / 3.0, rowHeight() / 2) - kGap;
    const int row = std::clamp(static_cast<int>(probe / rowHeight()), 0, rows() - 1);
    return std::min(row * m_across, m_pages->pageCount - 1);
}

void PreviewPages::showPage(int page) {
    if (m_pages == nullptr || m_pages->pageCount == 0) {
        return;
    }
    page = std::clamp(page, 0, m_pages->pageCount - 1);
    m_relaying = true;
    verticalScrollBar()->setValue(static_cast<int>(pageRect(page).top()) - kGap);
    m_relaying = false;
    notePage(page);  // the last pages may not reach the top of the view
}

void PreviewPages::noteCurrentPage() {
    if (!m_relaying) {
        notePage(pageAtTop());
    }
}

void PreviewPages::notePage(int page) {
    if (page != m_lastPage) {
        m_lastPage = page;
        Q_EMIT currentPageChanged(page);
    }
}

void PreviewPages::paintEvent(QPaintEvent* event) {
    if (m_pages == nullptr || m_pages->pageCount == 0) {
        return;
    }
    QPainter painter(viewport());
    const QPointF scrolled(horizontalScrollBar()->value(), verticalScrollBar()->value());
    const QRectF visible = QRectF(event->rect()).translated(scrolled);
    const int firstRow = std::max(0, static_cast<int>((visible.top() - kGap) / rowHeight()));
    const int lastRow = std::min(rows() - 1, static_cast<int>(visible.bottom() / rowHeight()));
    for (int page = firstRow * m_across;
         page < std::min(m_pages->pageCount, (lastRow + 1) * m_across); ++page) {
        const QRectF sheet = pageRect(page).translated(-scrolled);
        if (!sheet.intersects(event->rect())) {
            continue;
        }
        painter.fillRect(sheet.translated(2, 2), palette().color(QPalette::Shadow));
        painter.fillRect(sheet, Qt::white);
        painter.save();
        painter.setClipRect(sheet);
        painter.translate(sheet.topLeft());
        painter.scale(m_zoom, m_zoom);  // drawPage scales the rest, from the screen's resolution
        painter.setRenderHint(QPainter::TextAntialiasing);
        BandReport::drawPage(painter, *m_pages, page);
        painter.restore();
        ++m_pagesDrawn;
    }
}

void PreviewPages::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    relayout([] {});
}

void PreviewPages::scrollContentsBy(int, int) {
    viewport()->update();
    noteCurrentPage();
}

void PreviewPages::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Home:
            showPage(0);
            break;
        case Qt::Key_End:
            showPage(m_pages != nullptr ? m_pages->pageCount - 1 : 0);
            break;
        case Qt::Key_Plus:
            zoomIn();
            break;
        case Qt::Key_Minus:
            zoomOut();
            break;
        default:
            QAbstractScrollArea::keyPressEvent(event);
            return;
    }
    event->accept();
}

void PreviewPages::wheelEvent(QWheelEvent* event) {
    if (event->modifiers() & Qt::ControlModifier) {
        event->angleDelta().y() > 0 ? zoomIn() : zoomOut();
        event->accept();
        return;
    }
    QAbstractScrollArea::wheelEvent(event);
}
