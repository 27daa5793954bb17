#pragma once

#include <QFont>
#include <QPageSize>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

#include "report_layout.h"

class QPagedPaintDevice;
class QPainter;
class RecordSet;

// The records a report prints: for each record, the display text of every column that the
// layout's text boxes name, read once from the record set in its order.
struct ReportData {
    QStringList fields;
    std::vector<QStringList> records;

    // Reads every remaining record. A column the layout names but the rows lack is a failure.
    static ReportData read(RecordSet& rows, const ReportLayout& layout);
    QString value(size_t record, const QString& field) const;
};

// One text placed on a page: where (twips from the paper's top-left corner), which lines, in
// which font. A growing text box keeps its wrapped lines; every other box has one line, cut at
// its width when drawn.
struct PlacedText {
    int page = 0;
    QString band;
    QString control;
    QRectF rect;
    QStringList lines;
    ReportFont font;
    double lineHeight = 0;
    QString text() const { return lines.join(QLatin1Char('\n')); }
};

// A report laid out on pages of one size.
struct ReportPages {
    QSizeF pageSize;  // twips
    int pageCount = 0;
    std::vector<PlacedText> texts;
    // Where each page's texts begin in `texts` (pageCount + 1 entries; the texts are in page
    // order), made by index(): a page is drawn without looking at the others.
    std::vector<size_t> pageStarts;

    // Puts the texts in page order and makes pageStarts.
    void index();
    // The range of texts of a page in `texts`, [first, second).
    std::pair<size_t, size_t> rangeOf(int page) const;
    std::vector<PlacedText> onPage(int page) const;
    // The placed texts of a control, on every page, in order.
    std::vector<PlacedText> ofControl(const QString& control) const;
};

namespace BandReport {

// The font of a report control, sized in twips (one point is 20 twips), for a painter whose unit
// is one twip.
QFont fontFor(const ReportFont& font);

// Lays the report out: the report header once, the page header at the top of every page, one
// detail band per record in order, a new page whenever the next band does not fit; a growing
// text box wraps at its width and pushes the rest of its band down, continuing on the next page
// when it is longer than a page.
ReportPages layOut(const ReportLayout& layout, const ReportData& data, QSizeF pageSize);

// Draws one page with the painter, whose device is one sheet of paper.
void drawPage(QPainter& painter, const ReportPages& pages, int page);
// Draws every page on a printer, a PDF writer or any paged device.
void draw(QPagedPaintDevice& device, const ReportPages& pages);

// The paper the user's locale prefers: Letter in the United States, A4 elsewhere.
QPageSize preferredPaperSize();
// That paper, landscape, in twips.
QSizeF preferredLandscapePaper();

}  // namespace BandReport
