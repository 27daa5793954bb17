#pragma once

#include <QAbstractScrollArea>
#include <algorithm>
#include <functional>

#include "band_report.h"

// The pages of a laid-out report on screen, one under the other, one or two side by side. Only
// the pages that can be seen are drawn, each at the zoom shown, straight from the layout: no
// picture of a page is kept, so a report of any length shows its first page at once and takes
// no more memory than its layout.
class PreviewPages : public QAbstractScrollArea {
    Q_OBJECT

public:
    // How the zoom follows the window: kept as set, or the page's width or whole page fitted.
    enum class Fit { None, Width, Page };

    explicit PreviewPages(QWidget* parent = nullptr);

    // The pages to show; they must outlive the view.
    void setPages(const ReportPages* pages);

    // 1.0 shows the paper at its real size on a screen of the window's resolution.
    double zoom() const { return m_zoom; }
    void setZoom(double zoom);
    void zoomIn();
    void zoomOut();
    Fit fit() const { return m_fit; }
    void setFit(Fit fit);
    // Pages in a row: 1 or 2.
    int pagesAcross() const { return m_across; }
    void setPagesAcross(int across);

    // The page at the top of the view (0-based; the one asked for when the last pages cannot
    // scroll that far), and moving there.
    int currentPage() const { return std::max(0, m_lastPage); }
    void showPage(int page);

    // How many pages were drawn so far (a page drawn again counts again).
    qint64 pagesDrawn() const { return m_pagesDrawn; }

Q_SIGNALS:
    void currentPageChanged(int page);
    void zoomChanged(double zoom);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    static constexpr int kGap = 12;
    static constexpr double kMinZoom = 0.05;
    static constexpr double kMaxZoom = 8.0;

    // The size of one page on screen, in pixels.
    QSizeF pageSize() const;
    int pageAtTop() const;
    QRectF pageRect(int page) const;
    int rows() const;
    double rowHeight() const;
    void relayout(const std::function<void()>& change);
    void applyFit();
    void updateScrollBars();
    void noteCurrentPage();
    void notePage(int page);

    const ReportPages* m_pages = nullptr;
    double m_zoom = 1.0;
    Fit m_fit = Fit::Width;
    int m_across = 1;
    int m_lastPage = -1;
    bool m_relaying = false;
    qint64 m_pagesDrawn = 0;
};
