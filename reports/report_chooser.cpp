#include "report_chooser.h"

#include <QComboBox>
#include <QGroupBox>
#include <QIcon>
#include <QPushButton>

#include "band_report.h"
#include "case_statements.h"
#include "case_store.h"
#include "control_places.h"
#include "dialog_frame.h"
#include "error_trap.h"
#include "prompts.h"
#include "record_set.h"
#include "report_layout.h"
#include "report_preview.h"
#include "screen_reader.h"
#include "window_dressing.h"
#include "window_pointer.h"

namespace {

const QString kWindow = QStringLiteral("Form4");

constexpr double kClientWidth = 4800;
constexpr double kClientHeight = 1935;
}  // namespace

const std::array<ReportChoice, 6>& reportChoices() {
    static const std::array<ReportChoice, 6> choices{{
        {.entry = "Open Cases",
         .loadLine = 108,
         .view = CaseView::Open,
         .order = CaseOrder::Title,
         .layout = &ReportLayouts::rptOpenCases,
         .retitle = ""},
        {.entry = "Cases by Categories",
         .loadLine = 110,
         .view = CaseView::Open,
         .order = CaseOrder::Category,
         .layout = &ReportLayouts::rptCasesByCategory,
         .retitle = ""},
        {.entry = "Cases by Status",
         .loadLine = 112,
         .view = CaseView::Open,
         .order = CaseOrder::Status,
         .layout = &ReportLayouts::rptCasesByStatus,
         .retitle = ""},
        {.entry = "Cases by Assigned To",
         .loadLine = 114,
         .view = CaseView::Open,
         .order = CaseOrder::AssignedTo,
         .layout = &ReportLayouts::rptCasesByAssigned,
         .retitle = ""},
        {.entry = "Case Details",
         .loadLine = 116,
         .view = CaseView::Open,
         .order = CaseOrder::Title,
         .layout = &ReportLayouts::rptCaseDetails,
         .retitle = ""},
        {.entry = "Closed Cases",
         .loadLine = 118,
         .view = CaseView::Closed,
         .order = CaseOrder::Title,
         .layout = &ReportLayouts::rptOpenCases,
         .retitle = "Closed Cases"},
    }};
    return choices;
}

ReportChooser::ReportChooser(Prompts& prompts, const QString& programFolder, QWidget* parent)
    : QDialog(parent), m_prompts(prompts), m_programFolder(programFolder) {
    setObjectName(kWindow);
    setWindowTitle(QStringLiteral("Reports"));
    createControls();
    placeControls();
    connectHandlers();
}

ReportChooser::~ReportChooser() = default;

void ReportChooser::createControls() {
    DialogFrame::setUp(this, kClientWidth, kClientHeight);
    reportFrame = new QGroupBox(QStringLiteral("Report Type"), this);
    reportList = new QComboBox(reportFrame);
    reportList->setEditable(false);
    reportList->setAccessibleName(
        reportFrame->title());  // the list is announced by its frame's caption
    previewButton = ControlPlaces::pushButton(this, 1, QStringLiteral("Print Preview"));
    cancelButton = ControlPlaces::pushButton(this, 2, QStringLiteral("Cancel"));
    m_pointer = new WindowPointer(this);
}

void ReportChooser::placeControls() {
    ControlPlaces::apply({
        {reportFrame, {120, 60, 4560, 1080}, ControlPlaces::kNoTab, "Frame1"},
        {reportList, {240, 480, 4080, 345}, 0, "Combo1"},  // inside the frame
        {previewButton, {120, 1350, 2220, 405}, 1, "PushButton1"},
        {cancelButton, {2460, 1350, 2220, 405}, 2, "PushButton2"},
    });
    ScreenReader::nameInnerParts(this);
}

void ReportChooser::connectHandlers() {
    connect(previewButton, &QPushButton::clicked, this, [this] { preview(); });
    connect(cancelButton, &QPushButton::clicked, this, [this] { cancel(); });
    m_pointer->showCustomOver(previewButton);
    m_pointer->showCustomOver(cancelButton);
    m_pointer->showDefaultOver(reportFrame);
}

void ReportChooser::load() {
    ErrorTrap trap{m_prompts, kWindow, QStringLiteral("Form_Load")};
    WindowDressing::dress(trap, this, *m_pointer, m_programFolder);
    for (const ReportChoice& choice : reportChoices()) {
        trap.at(choice.loadLine, [&] { reportList->addItem(QString::fromLatin1(choice.entry)); });
    }
    trap.at(120, [this] { reportList->setCurrentIndex(-1); });
}

void ReportChooser::preview() {
    ErrorTrap trap{m_prompts, kWindow, QStringLiteral("PushButton1_Click")};
    // The first entry whose text equals the list's text, exactly and with its letter case.
    const ReportChoice* chosen = nullptr;
    trap.at(100, [&] {
        for (const ReportChoice& choice : reportChoices()) {
            if (reportList->currentText() == QString::fromLatin1(choice.entry)) {
                chosen = &choice;
                break;
            }
        }
    });
    if (chosen == nullptr) {
        return;
    }
    RecordSet rows;
    trap.at(102, [&] { rows = RecordSet(); });
    trap.at(104, [&] {
        rows.open(CaseStatements::inOrder(chosen->view, chosen->order), CaseStore::shared());
    });
    ReportLayout layout;
    trap.at(106, [&] { layout = chosen->layout(); });
    ReportData records;
    trap.at(108, [&] { records = ReportData::read(rows, layout); });
    if (*chosen->retitle != '\0') {
        trap.at(110, [&] { layout.titleLabel().caption = QString::fromLatin1(chosen->retitle); });
        trap.at(112, [&] { layout.caption = QString::fromLatin1(chosen->retitle); });
    }
    // The preview always shows a landscape page (ReportPreview's printer).
    trap.at(114, [&] {
        ReportPreview preview(m_prompts, layout, records, this);
        m_prompts.showModal(preview);
    });
    trap.at(116, [&] { rows.close(); });
}

void ReportChooser::cancel() {
    ErrorTrap trap{m_prompts, kWindow, QStringLiteral("PushButton2_Click")};
    trap.at(100, [this] { reject(); });
}
