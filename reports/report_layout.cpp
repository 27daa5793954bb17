#include "report_layout.h"

namespace {

constexpr ReportFont kTitleFont{15.75, true, true};
constexpr ReportFont kCaptionFont{8.25, true, false};
constexpr ReportFont kFieldFont{8.25, false, false};

// One column of a list report: its caption label in the page header and its bound text box in
// the detail band, each with its own left and width.
struct Column {
    const char* label;
    const char* caption;
    double labelLeft;
    double labelWidth;
    const char* textBox;
    const char* field;
    double boxLeft;
    double boxWidth;
};

ReportControl label(const QString& name, const QString& caption, double left, double top,
                    double width, double height, ReportFont font) {
    ReportControl control;
    control.kind = ReportControl::Kind::Label;
    control.name = name;
    control.caption = caption;
    control.left = left;
    control.top = top;
    control.width = width;
    control.height = height;
    control.font = font;
    return control;
}

ReportControl textBox(const QString& name, const QString& field, double left, double top,
                      double width, double height = 240) {
    ReportControl control;
    control.kind = ReportControl::Kind::TextBox;
    control.name = name;
    control.field = field;
    control.left = left;
    control.top = top;
    control.width = width;
    control.height = height;
    control.font = kFieldFont;
    return control;
}

// The bands every layout has, with the title label first in the report header.
ReportLayout skeleton(const char* name, const char* title, double titleWidth, double titleHeight,
                      double pageHeader, double detail, double reportFooter = 0) {
    ReportLayout layout;
    layout.name = QString::fromLatin1(name);
    layout.caption = QString::fromLatin1(title);
    const std::array<const char*, ReportLayout::BandCount> names{"Section4", "Section2", "Section1",
                                                                 "Section3", "Section5"};
    for (size_t band = 0; band < names.size(); ++band) {
        layout.bands[band].name = QString::fromLatin1(names[band]);
    }
    layout.bands[ReportLayout::ReportHeader].height = titleHeight;
    layout.bands[ReportLayout::ReportHeader].controls.push_back(label(
        QStringLiteral("Label1"), layout.caption, 144, 0, titleWidth, titleHeight, kTitleFont));
    layout.bands[ReportLayout::PageHeader].height = pageHeader;
    layout.bands[ReportLayout::Detail].height = detail;
    layout.bands[ReportLayout::PageFooter].height = 0;
    layout.bands[ReportLayout::ReportFooter].height = reportFooter;
    return layout;
}

template <size_t N>
void addColumns(ReportLayout& layout, const std::array<Column, N>& columns) {
    for (const Column& column : columns) {
        layout.bands[ReportLayout::PageHeader].controls.push_back(
            label(QString::fromLatin1(column.label), QString::fromLatin1(column.caption),
                  column.labelLeft, 0, column.labelWidth, 240, kCaptionFont));
        layout.bands[ReportLayout::Detail].controls.push_back(
            textBox(QString::fromLatin1(column.textBox), QString::fromLatin1(column.field),
                    column.boxLeft, 0, column.boxWidth));
    }
}

}  // namespace

namespace ReportLayouts {

ReportLayout rptOpenCases() {
    ReportLayout layout = skeleton("rptOpenCases", "Open Cases", 4032, 432, 330, 360, 570);
    addColumns(layout,
               std::array<Column, 9>{{
                   {"Label2", "ID", 0, 720, "Text1", "ID", 0, 720},
                   {"Label3", "Title", 720, 2016, "Text2", "Title", 720, 2016},
                   {"Label4", "Assigned To", 2736, 1440, "Text7", "Assigned To Name", 2736, 1440},
                   {"Label5", "Priority", 4176, 1440, "Text5", "Priority", 4176, 1440},
                   {"Label6", "Status", 5616, 1008, "Text3", "Status", 5616, 1005},
                   {"Label7", "Category", 6624, 1440, "Text6", "Category", 6624, 1440},
                   {"Label8", "Due Date", 8064, 1152, "Text4", "Due Date", 8064, 1161},
                   {"Label9", "Opened By", 9216, 1440, "Text8", "Opened By Name", 9216, 1440},
                   {"Label10", "Opened Date", 10656, 1296, "Text9", "Opened Date", 10656, 1305},
               }});
    return layout;
}

ReportLayout rptCasesByCategory() {
    ReportLayout layout = skeleton("rptCasesByCategory", "Cases By Category", 4032, 432, 270, 300);
    addColumns(layout,
               std::array<Column, 8>{{
                   {"Label2", "Category", 0, 1440, "Text1", "Category", 0, 1440},
                   {"Label4", "Assigned To", 1440, 1440, "Text7", "Assigned To Name", 1440, 1440},
                   {"Label3", "Title", 2880, 2736, "Text2", "Title", 2880, 2736},
                   {"Label6", "Status", 5616, 1008, "Text3", "Status", 5616, 1005},
                   {"Label8", "Due Date", 6624, 1140, "Text4", "Due Date", 6624, 1155},
                   {"Label5", "Priority", 7776, 1440, "Text5", "Priority", 7776, 1440},
                   {"Label9", "Opened By", 9216, 1440, "Text8", "Opened By Name", 9216, 1440},
                   {"Label10", "Opened Date", 10656, 1296, "Text9", "Opened Date", 10656, 1305},
               }});
    return layout;
}

ReportLayout rptCasesByStatus() {
    ReportLayout layout = skeleton("rptCasesByStatus", "Cases By Status", 4032, 432, 300, 270);
    addColumns(layout,
               std::array<Column, 8>{{
                   {"Label6", "Status", 0, 1020, "Text3", "Status", 0, 1005},
                   {"Label8", "Due Date", 1008, 1140, "Text4", "Due Date", 1008, 1155},
                   {"Label3", "Title", 2160, 2730, "Text2", "Title", 2160, 2730},
                   {"Label4", "Assigned To", 4896, 1440, "Text7", "Assigned To Name", 4896, 1440},
                   {"Label5", "Priority", 6336, 1440, "Text5", "Priority", 6336, 1440},
                   {"Label2", "Category", 7776, 1440, "Text1", "Category", 7776, 1440},
                   {"Label9", "Opened By", 9216, 1440, "Text8", "Opened By Name", 9216, 1440},
                   {"Label10", "Opened Date", 10656, 1296, "Text9", "Opened Date", 10656, 1305},
               }});
    return layout;
}

ReportLayout rptCasesByAssigned() {
    ReportLayout layout =
        skeleton("rptCasesByAssigned", "Cases By Assigned To", 4020, 435, 270, 255);
    addColumns(layout,
               std::array<Column, 8>{{
                   {"Label4", "Assigned To", 0, 1440, "Text7", "Assigned To Name", 0, 1440},
                   {"Label6", "Status", 1440, 1020, "Text3", "Status", 1440, 1005},
                   {"Label3", "Title", 2448, 2730, "Text2", "Title", 2448, 2730},
                   {"Label8", "Due Date", 5184, 1140, "Text4", "Due Date", 5184, 1155},
                   {"Label5", "Priority", 6336, 1440, "Text5", "Priority", 6336, 1440},
                   {"Label2", "Category", 7776, 1440, "Text1", "Category", 7776, 1440},
                   {"Label9", "Opened By", 9216, 1440, "Text8", "Opened By Name", 9216, 1440},
                   {"Label10", "Opened Date", 10656, 1296, "Text9", "Opened Date", 10656, 1305},
               }});
    return layout;
}

ReportLayout rptCaseDetails() {
    ReportLayout layout = skeleton("rptCaseDetails", "Case Details", 4032, 432, 0, 2130);
    struct Block {
        bool isLabel;
        const char* name;
        const char* shows;  // a label's caption or a text box's field
        double left;
        double top;
        double width;
    };
    const std::array<Block, 17> blocks{{
        {true, "Label11", "Case:", 0, 0, 720},
        {false, "Text1", "ID", 720, 0, 720},
        {false, "Text2", "Title", 1440, 0, 9936},
        {true, "Label4", "Assigned To:", 0, 432, 1440},
        {false, "Text7", "Assigned To Name", 1440, 432, 1440},
        {true, "Label9", "Opened By:", 0, 720, 1440},
        {false, "Text8", "Opened By Name", 1440, 720, 1440},
        {true, "Label10", "Opened Date:", 0, 1008, 1305},
        {false, "Text9", "Opened Date", 1440, 1008, 1305},
        {true, "Label6", "Status:", 4176, 432, 1020},
        {false, "Text3", "Status", 5616, 432, 1005},
        {true, "Label7", "Category:", 4176, 720, 1440},
        {false, "Text6", "Category", 5616, 720, 1440},
        {true, "Label5", "Priority:", 4176, 1008, 1440},
        {false, "Text5", "Priority", 5616, 1008, 1440},
        {true, "Label8", "Due Date:", 4176, 1296, 1140},
        {false, "Text4", "Due Date", 5616, 1296, 1155},
    }};
    auto& detail = layout.bands[ReportLayout::Detail].controls;
    for (const Block& block : blocks) {
        detail.push_back(
            block.isLabel
                ? label(QString::fromLatin1(block.name), QString::fromLatin1(block.shows),
                        block.left, block.top, block.width, 240, kCaptionFont)
                : textBox(QString::fromLatin1(block.name), QString::fromLatin1(block.shows),
                          block.left, block.top, block.width));
    }
    ReportControl comments =
        textBox(QStringLiteral("Text10"), QStringLiteral("Comments"), 0, 1728, 9930, 288);
    comments.grows = true;
    detail.push_back(comments);
    return layout;
}

}  // namespace ReportLayouts
