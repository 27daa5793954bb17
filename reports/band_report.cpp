#include "band_report.h"

#include <QFontMetricsF>
#include <QLocale>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

#include "failure.h"
#include "record_set.h"
#include "twips.h"

namespace {

constexpr double kTwipsPerPoint = 20;

// The lines of a text wrapped at a width in twips: at word boundaries where it can, anywhere in
// a word longer than the width; the text's own line breaks are kept.
QStringList wrap(const QString& text, const QFont& font, double width) {
    QStringList lines;
    const QStringList paragraphs =
        QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")).split(QLatin1Char('\n'));
    for (const QString& paragraph : paragraphs) {
        if (paragraph.isEmpty()) {
            lines.append(QString());
            continue;
        }
        QTextLayout layout(paragraph, font);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            lines.append(paragraph.mid(line.textStart(), line.textLength()).trimmed());
        }
        layout.endLayout();
    }
    return lines;
}

// Places bands on pages, one after the other.
class PagePlanner {
public:
    PagePlanner(const ReportLayout& layout, const ReportData& data, QSizeF pageSize)
        : m_layout(layout), m_data(data) {
        m_pages.pageSize = pageSize;
        m_bottom =
            pageSize.height() - layout.bottomMargin - layout.bands[ReportLayout::PageFooter].height;
        m_fonts.reserve(8);
    }

    ReportPages run() {
        startPage();
        placeFixedBand(m_layout.bands[ReportLayout::ReportHeader], -1, true);
        placeFixedBand(m_layout.bands[ReportLayout::PageHeader], -1, true);
        m_freshPage = true;
        for (size_t record = 0; record < m_data.records.size(); ++record) {
            placeDetail(record);
        }
        placeFixedBand(m_layout.bands[ReportLayout::ReportFooter], -1, false);
        endPage();
        m_pages.index();
        return std::move(m_pages);
    }

private:
    void startPage() {
        ++m_pages.pageCount;
        m_y = m_layout.topMargin;
    }

    void endPage() {
        const ReportBand& footer = m_layout.bands[ReportLayout::PageFooter];
        const double top = m_bottom;
        for (const ReportControl& control : footer.controls) {
            place(control, top, -1);
        }
    }

    void newPage() {
        endPage();
        startPage();
        placeFixedBand(m_layout.bands[ReportLayout::PageHeader], -1, true);
        m_freshPage = true;
    }

    QString textOf(const ReportControl& control, long record) const {
        if (control.kind == ReportControl::Kind::Label || record < 0) {
            return control.caption;
        }
        return m_data.value(static_cast<size_t>(record), control.field);
    }

    const QFontMetricsF& metrics(const ReportFont& font) {
        for (auto& [kept, fontMetrics] : m_fonts) {
            if (kept == font) {
                return fontMetrics;
            }
        }
        m_fonts.emplace_back(font, QFontMetricsF(BandReport::fontFor(font)));
        return m_fonts.back().second;
    }

    PlacedText& place(const ReportControl& control, double bandTop, long record) {
        PlacedText text;
        text.page = m_pages.pageCount - 1;
        text.control = control.name;
        text.rect = QRectF(m_layout.leftMargin + control.left, bandTop + control.top, control.width,
                           control.height);
        QString value = textOf(control, record);
        // A box that does not grow shows one line, cut at its width.
        value.replace(QLatin1String("\r\n"), QLatin1String(" "));
        value.replace(QLatin1Char('\n'), QLatin1Char(' '));
        text.lines = QStringList{value};
        text.font = control.font;
        text.lineHeight = metrics(control.font).lineSpacing();
        m_pages.texts.push_back(std::move(text));
        return m_pages.texts.back();
    }

    // A band whose height never changes; it moves to a new page when it does not fit, unless
    // the page has nothing but its headers yet.
    void placeFixedBand(const ReportBand& band, long record, bool atTop) {
        if (!atTop && m_y + band.height > m_bottom && !m_freshPage) {
            newPage();
        }
        for (const ReportControl& control : band.controls) {
            place(control, m_y, record).band = band.name;
        }
        m_y += band.height;
        m_freshPage = atTop && m_freshPage;
    }

    void placeDetail(size_t record) {
        const ReportBand& band = m_layout.bands[ReportLayout::Detail];
        const auto growing = std::find_if(band.controls.begin(), band.controls.end(),
                                          [](const ReportControl& c) { return c.grows; });
        if (growing == band.controls.end()) {
            placeFixedBand(band, static_cast<long>(record), false);
            m_freshPage = false;
            return;
        }
        const QFontMetricsF& fontMetrics = metrics(growing->font);
        const QStringList lines = wrap(textOf(*growing, static_cast<long>(record)),
                                       BandReport::fontFor(growing->font), growing->width);
        const double lineHeight = fontMetrics.lineSpacing();
        const double textHeight = std::max(growing->height, lines.size() * lineHeight);
        const double height = band.height + (textHeight - growing->height);
        if (m_y + height > m_bottom && !m_freshPage) {
            newPage();
        }
        const double bandTop = m_y;
        for (const ReportControl& control : band.controls) {
            if (&control != &*growing) {
                place(control, bandTop, static_cast<long>(record)).band = band.name;
            }
        }
        // The growing box: as many lines as fit on this page, the rest on the next pages.
        double top = bandTop + growing->top;
        qsizetype next = 0;
        for (;;) {
            const qsizetype remaining = lines.size() - next;
            const auto fitting = static_cast<qsizetype>(std::floor((m_bottom - top) / lineHeight));
            const qsizetype count = std::min(std::max<qsizetype>(fitting, 1), remaining);
            PlacedText& text = place(*growing, top - growing->top, static_cast<long>(record));
            text.band = band.name;
            text.lines = lines.mid(next, count);
            text.rect.setHeight(next == 0 ? std::max(growing->height, count * lineHeight)
                                          : count * lineHeight);
            next += count;
            if (next >= lines.size()) {
                m_y = text.rect.bottom() + (band.height - growing->top - growing->height);
                break;
            }
            newPage();
            top = m_y;
        }
        m_freshPage = false;
    }

    const ReportLayout& m_layout;
    const ReportData& m_data;
    ReportPages m_pages;
    double m_y = 0;
    double m_bottom = 0;
    bool m_freshPage = true;
    std::vector<std::pair<ReportFont, QFontMetricsF>> m_fonts;
};

}  // namespace

ReportData ReportData::read(RecordSet& rows, const ReportLayout& layout) {
    ReportData data;
    for (const ReportBand& band : layout.bands) {
        for (const ReportControl& control : band.controls) {
            if (control.kind == ReportControl::Kind::TextBox &&
                !data.fields.contains(control.field)) {
                data.fields.append(control.field);
            }
        }
    }
    std::vector<int> columns;
    bool columnsKnown = false;
    while (!rows.eof()) {
        if (!columnsKnown) {
            for (const QString& field : data.fields) {
                columns.push_back(rows.column(field));
            }
            columnsKnown = true;
        }
        QStringList record;
        record.reserve(static_cast<qsizetype>(columns.size()));
        for (int column : columns) {
            record.append(rows.text(column));
        }
        data.records.push_back(std::move(record));
        rows.moveNext();
    }
    return data;
}

QString ReportData::value(size_t record, const QString& field) const {
    const qsizetype column = fields.indexOf(field);
    if (record >= records.size() || column < 0) {
        throw Failure(QStringLiteral("The report has no field '%1'.").arg(field));
    }
    return records[record].at(column);
}

void ReportPages::index() {
    const auto byPage = [](const PlacedText& a, const PlacedText& b) { return a.page < b.page; };
    if (!std::is_sorted(texts.begin(), texts.end(), byPage)) {
        std::stable_sort(texts.begin(), texts.end(), byPage);
    }
    pageStarts.assign(static_cast<size_t>(pageCount) + 1, texts.size());
    for (size_t i = texts.size(); i-- > 0;) {
        if (texts[i].page >= 0 && texts[i].page < pageCount) {
            pageStarts[static_cast<size_t>(texts[i].page)] = i;
        }
    }
    // A page without texts begins where the next one does.
    for (size_t page = pageStarts.size() - 1; page-- > 0;) {
        pageStarts[page] = std::min(pageStarts[page], pageStarts[page + 1]);
    }
}

std::pair<size_t, size_t> ReportPages::rangeOf(int page) const {
    if (pageStarts.size() != static_cast<size_t>(pageCount) + 1) {
        throw Failure(QStringLiteral("The report's pages are not indexed."));
    }
    if (page < 0 || page >= pageCount) {
        return {0, 0};
    }
    return {pageStarts[static_cast<size_t>(page)], pageStarts[static_cast<size_t>(page) + 1]};
}

std::vector<PlacedText> ReportPages::onPage(int page) const {
    const auto [first, end] = rangeOf(page);
    return std::vector<PlacedText>(texts.begin() + static_cast<std::ptrdiff_t>(first),
                                   texts.begin() + static_cast<std::ptrdiff_t>(end));
}

std::vector<PlacedText> ReportPages::ofControl(const QString& control) const {
    std::vector<PlacedText> result;
    std::copy_if(texts.begin(), texts.end(), std::back_inserter(result),
                 [&control](const PlacedText& text) { return text.control == control; });
    return result;
}

namespace {

// The start of a line that fits the width: a text cut by its column is cut where the column
// ends, so that a printed or exported page holds only what can be seen.
QString visiblePart(const QFontMetricsF& metrics, const QString& line, qreal width) {
    if (metrics.horizontalAdvance(line) <= width) {
        return line;
    }
    qsizetype fits = 0;
    qsizetype tooLong = line.size();
    while (tooLong - fits > 1) {
        const qsizetype middle = (fits + tooLong) / 2;
        if (metrics.horizontalAdvance(line.left(middle)) <= width) {
            fits = middle;
        } else {
            tooLong = middle;
        }
    }
    if (fits > 0 && line.at(fits - 1).isHighSurrogate()) {
        --fits;  // never half a character
    }
    return line.left(fits);
}

}  // namespace

namespace BandReport {

QFont fontFor(const ReportFont& style) {
    QFont font(QStringLiteral("Arial"));
    font.setFamilies(QStringList() << QStringLiteral("Arial") << QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(static_cast<int>(std::lround(style.pointSize * kTwipsPerPoint)));
    font.setBold(style.bold);
    font.setItalic(style.italic);
    font.setHintingPreference(QFont::PreferNoHinting);  // the same metrics on screen and paper
    return font;
}

ReportPages layOut(const ReportLayout& layout, const ReportData& data, QSizeF pageSize) {
    return PagePlanner(layout, data, pageSize).run();
}

void drawPage(QPainter& painter, const ReportPages& pages, int page) {
    QPaintDevice* device = painter.device();
    painter.save();
    painter.scale(device->logicalDpiX() / Twips::kPerInch, device->logicalDpiY() / Twips::kPerInch);
    painter.setPen(Qt::black);
    // A report uses a handful of fonts: each is made and measured once a page, not once a text.
    std::vector<std::pair<ReportFont, QFontMetricsF>> fonts;
    const ReportFont* current = nullptr;
    const QFontMetricsF* metrics = nullptr;
    const auto [first, end] = pages.rangeOf(page);
    for (size_t placed = first; placed < end; ++placed) {
        const PlacedText& text = pages.texts[placed];
        if (current == nullptr || *current != text.font) {
            painter.setFont(fontFor(text.font));
            const auto kept = std::find_if(fonts.begin(), fonts.end(), [&](const auto& font) {
                return font.first == text.font;
            });
            metrics = kept != fonts.end()
                          ? &kept->second
                          : &fonts.emplace_back(text.font, painter.fontMetrics()).second;
            current = &text.font;
        }
        // Every line is cut at the box's width and a line below the box is left out, so only a
        // box lower than its first line needs clipping.
        const bool clipped = text.lineHeight > text.rect.height() + 0.5;
        if (clipped) {
            painter.save();
            painter.setClipRect(text.rect);
        }
        QRectF line = text.rect;
        line.setHeight(std::max(text.lineHeight, text.rect.height()));
        for (qsizetype i = 0; i < text.lines.size(); ++i) {
            if (i > 0 && line.top() + text.lineHeight > text.rect.bottom() + 0.5) {
                break;  // a line below the box would not be seen
            }
            painter.drawText(line, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                             visiblePart(*metrics, text.lines.at(i), text.rect.width()));
            line.translate(0, text.lineHeight);
        }
        if (clipped) {
            painter.restore();
        }
    }
    painter.restore();
}

void draw(QPagedPaintDevice& device, const ReportPages& pages) {
    QPainter painter(&device);
    if (!painter.isActive()) {
        throw Failure(
            QStringLiteral("The report cannot be drawn: the printer or file refused it."));
    }
    for (int page = 0; page < pages.pageCount; ++page) {
        if (page > 0) {
            device.newPage();
        }
        drawPage(painter, pages, page);
    }
}

QPageSize preferredPaperSize() {
    return QPageSize(QLocale().territory() == QLocale::UnitedStates ? QPageSize::Letter
                                                                    : QPageSize::A4);
}

QSizeF preferredLandscapePaper() {
    const QSizeF millimetres = preferredPaperSize().size(QPageSize::Millimeter);
    return QSizeF(millimetres.height(), millimetres.width()) * (Twips::kPerInch / 25.4);
}

}  // namespace BandReport
