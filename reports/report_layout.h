#pragma once

#include <QString>
#include <array>
#include <vector>

// A printed report as data: five bands, each with its height and its controls at Left, Top,
// Width and Height in twips (1/1440 inch). Labels print their caption; bound text boxes print
// the named column of the current record. Nothing about a report is drawn by hand: the engine
// lays the bands out on pages and the painter draws what was placed.

struct ReportFont {
    double pointSize = 8.25;
    bool bold = false;
    bool italic = false;

    bool operator==(const ReportFont&) const = default;
};

struct ReportControl {
    enum class Kind { Label, TextBox };
    Kind kind = Kind::Label;
    QString name;     // "Label1", "Text10"
    QString caption;  // a label's text
    QString field;    // a text box's column
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 240;
    ReportFont font;
    // A growing text box wraps its text at its width and grows downwards, and its band with it.
    bool grows = false;
};

struct ReportBand {
    QString name;  // "Section4", …
    double height = 0;
    std::vector<ReportControl> controls;
};

struct ReportLayout {
    enum Band { ReportHeader, PageHeader, Detail, PageFooter, ReportFooter, BandCount };

    QString name;     // "rptOpenCases"
    QString caption;  // the report's caption: the preview window's title
    double width = 11961;
    double leftMargin = 1440;
    double rightMargin = 1440;
    double topMargin = 1440;
    double bottomMargin = 1440;
    std::array<ReportBand, BandCount> bands;

    // The first control of the first band: the title label.
    ReportControl& titleLabel() { return bands[ReportHeader].controls.front(); }
    const ReportControl& titleLabel() const { return bands[ReportHeader].controls.front(); }
};

// The five layouts; each call gives a new instance.
namespace ReportLayouts {

ReportLayout rptOpenCases();
ReportLayout rptCasesByCategory();
ReportLayout rptCasesByStatus();
ReportLayout rptCasesByAssigned();
ReportLayout rptCaseDetails();

}  // namespace ReportLayouts
