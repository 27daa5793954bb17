#include "contact_editor.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTextDocument>
#include <limits>

#include "case_store.h"
#include "contact_statements.h"
#include "control_places.h"
#include "dialog_frame.h"
#include "employee_case_lists.h"
#include "error_trap.h"
#include "multi_line_field.h"
#include "prompts.h"
#include "record_set.h"
#include "report_list.h"
#include "save_step.h"
#include "screen_reader.h"
#include "window_dressing.h"
#include "window_pointer.h"

namespace {

constexpr int kFieldCount = 16;
constexpr double kLineHeight = 345;
constexpr double kNotesHeight = 1425;
constexpr double kLabelAbove = 255;

// The sixteen fields in their order (firstNameField ... notesField): the caption of the label
// above, the column that fills it, and the numbered line of loadContact that fills it.
struct FieldDesign {
    const char* caption;
    const char* column;
    int loadLine;
};
constexpr std::array<FieldDesign, kFieldCount> kFields{{
    {"First Name", "First Name", 106},
    {"Last Name", "Last Name", 108},
    {"Job Title", "Job Title", 110},
    {"Company", "Company", 112},
    {"Business Phone", "Business Phone", 114},
    {"Home Phone", "Home Phone", 116},
    {"Mobile Phone", "Mobile Phone", 118},
    {"Fax Number", "Fax Number", 120},
    {"Address", "Address", 122},
    {"City", "City", 124},
    {"State", "State", 126},
    {"Postal Code", "ZIP", 128},
    {"Country", "Country", 130},
    {"Email Address", "E-mail Address", 132},
    {"Webpage", "Web Page", 134},
    {"Notes", "Notes", 136},
}};

const ContactKind kEmployees{
    .window = "Form3",
    .caption = "Employees",
    .table = "Employees",
    .clientWidth = 11400,
    .clientHeight = 7605,
    .rightFieldWidth = 2640,
    .fullFieldWidth = 5520,
    .countryWidth = 1560,
    .savePlace = {120, 7080, 5520, 405},
    .cancelButton = 1,
    .cancelPlace = {5760, 7080, 5520, 405},
    .caseLists = true,
};
const ContactKind kCustomers{
    .window = "Form5",
    .caption = "Customers",
    .table = "Customers",
    .clientWidth = 5880,
    .clientHeight = 7605,
    .rightFieldWidth = 2760,
    .fullFieldWidth = 5640,
    .countryWidth = 1680,
    .savePlace = {120, 7080, 2760, 405},
    .cancelButton = 3,
    .cancelPlace = {3000, 7080, 2760, 405},
    .caseLists = false,
};

// A name counts as missing when it is empty or made of blanks only; other white space counts.
bool onlyBlanks(const QString& text) {
    for (const QChar character : text) {
        if (character != QLatin1Char(' ')) {
            return false;
        }
    }
    return true;
}

}  // namespace

const ContactKind& ContactKind::employees() {
    return kEmployees;
}

const ContactKind& ContactKind::customers() {
    return kCustomers;
}

ContactEditor::ContactEditor(const ContactKind& kind, Prompts& prompts,
                             const QString& programFolder, QWidget* parent)
    : QDialog(parent), m_kind(kind), m_prompts(prompts), m_programFolder(programFolder) {
    setObjectName(window());
    setWindowTitle(QString::fromLatin1(m_kind.caption));
    createControls();
    placeControls();
    connectHandlers();
}

ContactEditor::~ContactEditor() = default;

QString ContactEditor::window() const {
    return QString::fromLatin1(m_kind.window);
}

void ContactEditor::createControls() {
    DialogFrame::setUp(this, m_kind.clientWidth, m_kind.clientHeight);
    for (int number = 1; number < kFieldCount; ++number) {
        auto* edit = new QLineEdit(this);
        edit->setMaxLength(std::numeric_limits<int>::max());  // the columns set the only limits
        m_lines[static_cast<size_t>(number - 1)] = edit;
    }
    firstNameField = m_lines[0];
    lastNameField = m_lines[1];
    jobTitleField = m_lines[2];
    companyField = m_lines[3];
    businessPhoneField = m_lines[4];
    homePhoneField = m_lines[5];
    mobilePhoneField = m_lines[6];
    faxNumberField = m_lines[7];
    addressField = m_lines[8];
    cityField = m_lines[9];
    stateField = m_lines[10];
    zipField = m_lines[11];
    countryField = m_lines[12];
    emailField = m_lines[13];
    webPageField = m_lines[14];
    notesField = new MultiLineField(this);

    const auto button = [this](int number, const char* caption) {
        return ControlPlaces::pushButton(this, number, QString::fromLatin1(caption));
    };
    saveButton = button(2, "Save");
    cancelButton = button(m_kind.cancelButton, "Cancel");

    if (m_kind.caseLists) {
        const auto& members = EmployeeCaseLists::members();
        const auto caseList = [this](const CaseListMember& member, QGroupBox*& frame,
                                     ReportListView*& list) {
            frame = new QGroupBox(QString::fromLatin1(member.caption), this);
            frame->setObjectName(QString::fromLatin1(member.frame));
            list = new ReportListView(frame);
            list->setObjectName(QString::fromLatin1(member.list));
            list->setAccessibleName(QString::fromLatin1(member.caption));
        };
        caseList(members[0], openedCasesFrame, openedCasesList);
        caseList(members[1], assignedCasesFrame, assignedCasesList);
    }
    m_pointer = new WindowPointer(this);
}

void ContactEditor::placeControls() {
    // Three widths differ between the two editors: the right-hand fields, the full-width ones
    // and the country.
    const double right = m_kind.rightFieldWidth;
    const double full = m_kind.fullFieldWidth;
    const auto& caseLists = EmployeeCaseLists::members();
    ControlPlaces::apply({
        {firstNameField, {120, 375, 2640, kLineHeight}, 0, "Text1"},
        {lastNameField, {3000, 375, right, kLineHeight}, 1, "Text2"},
        {jobTitleField, {120, 1095, 2640, kLineHeight}, 2, "Text3"},
        {companyField, {3000, 1095, right, kLineHeight}, 3, "Text4"},
        {businessPhoneField, {120, 1935, 2640, kLineHeight}, 4, "Text5"},
        {homePhoneField, {3000, 1935, right, kLineHeight}, 5, "Text6"},
        {mobilePhoneField, {120, 2655, 2640, kLineHeight}, 6, "Text7"},
        {faxNumberField, {3000, 2655, right, kLineHeight}, 7, "Text8"},
        {addressField, {120, 3375, full, kLineHeight}, 8, "Text9"},
        {cityField, {120, 4095, 1440, kLineHeight}, 9, "Text10"},
        {stateField, {1680, 4110, 720, kLineHeight}, 10, "Text11"},
        {zipField, {2520, 4095, 1440, kLineHeight}, 11, "Text12"},
        {countryField, {4080, 4095, m_kind.countryWidth, kLineHeight}, 12, "Text13"},
        {emailField, {120, 4815, 2640, kLineHeight}, 13, "Text14"},
        {webPageField, {3000, 4815, right, kLineHeight}, 14, "Text15"},
        {notesField, {120, 5520, full, kNotesHeight}, 15, "Text16"},
        {saveButton, m_kind.savePlace, 16, "PushButton2"},
        {cancelButton, m_kind.cancelPlace, 17},  // PushButton1 or PushButton3, by its kind
        // The case lists and their frames are named by their designs (EmployeeCaseLists).
        // The employee editor's case lists; the customer editor has none (null controls).
        {openedCasesFrame, caseLists[0].framePlace, ControlPlaces::kNoTab},
        {assignedCasesFrame, caseLists[1].framePlace, ControlPlaces::kNoTab},
        {assignedCasesList, EmployeeCaseLists::kListPlace, 18},  // "Assigned Cases" comes first
        {openedCasesList, EmployeeCaseLists::kListPlace, 19},
    });
    for (int index = 0; index < kFieldCount; ++index) {
        DialogFrame::labelAbove(field(index + 1), QStringLiteral("Label1_%1").arg(index),
                                QString::fromLatin1(kFields[static_cast<size_t>(index)].caption),
                                kLabelAbove);
    }
    ScreenReader::nameInnerParts(this);
}

void ContactEditor::connectHandlers() {
    connect(saveButton, &QPushButton::clicked, this, [this] { save(); });
    connect(cancelButton, &QPushButton::clicked, this, [this] { cancel(); });
    // Ctrl+S is the Save button, with all its checks.
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), this), &QShortcut::activated,
            saveButton, &QPushButton::click);
    m_pointer->showCustomOver(saveButton);
    m_pointer->showCustomOver(cancelButton);
    // The employee editor shows the default pointer again over its lists and frames. Both
    // editors also show it over the window's own surface, so that the customer editor, which
    // has neither, does not keep the hand once the mouse has left its buttons.
    if (m_kind.caseLists) {
        for (QWidget* control :
             {static_cast<QWidget*>(openedCasesFrame), static_cast<QWidget*>(assignedCasesFrame)}) {
            m_pointer->showDefaultOver(control);
        }
        for (ReportListView* list : {openedCasesList, assignedCasesList}) {
            m_pointer->showDefaultOver(list->viewport());
            m_pointer->showDefaultOver(list->header()->viewport());
        }
    }
}

QWidget* ContactEditor::field(int number) const {
    if (number == kFieldCount) {
        return notesField;
    }
    if (number < 1 || number > kFieldCount) {
        return nullptr;
    }
    return m_lines[static_cast<size_t>(number - 1)];
}

QString ContactEditor::fieldText(int number) const {
    if (number == kFieldCount) {
        return notesField->storedText();
    }
    if (number < 1 || number > kFieldCount) {
        return {};
    }
    return m_lines[static_cast<size_t>(number - 1)]->text();
}

void ContactEditor::setFieldText(int number, const QString& text) {
    if (number == kFieldCount) {
        notesField->setStoredText(text);
    } else if (number >= 1 && number < kFieldCount) {
        m_lines[static_cast<size_t>(number - 1)]->setText(text);
    }
}

ContactRecord ContactEditor::record() const {
    ContactRecord record;
    record.firstName = fieldText(1);
    record.lastName = fieldText(2);
    record.jobTitle = fieldText(3);
    record.company = fieldText(4);
    record.businessPhone = fieldText(5);
    record.homePhone = fieldText(6);
    record.mobilePhone = fieldText(7);
    record.faxNumber = fieldText(8);
    record.address = fieldText(9);
    record.city = fieldText(10);
    record.state = fieldText(11);
    record.zip = fieldText(12);
    record.country = fieldText(13);
    record.email = fieldText(14);
    record.webPage = fieldText(15);
    record.notes = fieldText(16);
    return record;
}

void ContactEditor::load() {
    ErrorTrap trap{m_prompts, window(), QStringLiteral("Form_Load")};
    WindowDressing::dress(trap, this, *m_pointer, m_programFolder);
    if (!m_kind.caseLists) {
        if (trap.trueOrFailed(108, [this] { return !m_ID.isEmpty(); })) {
            trap.at(110, [this] { loadContact(); });
        }
        return;
    }
    const auto& members = EmployeeCaseLists::members();
    EmployeeCaseLists::addColumns(trap, openedCasesList, members[0]);
    EmployeeCaseLists::addColumns(trap, assignedCasesList, members[1]);
    if (trap.trueOrFailed(176, [this] { return !m_ID.isEmpty(); })) {
        trap.at(178, [this] { loadContact(); });
        trap.at(180, [this] { loadOpenedCases(); });
        trap.at(182, [this] { loadAssignedCases(); });
    }
}

void ContactEditor::loadContact() {
    ErrorTrap trap{m_prompts, window(), QStringLiteral("LoadData")};
    RecordSet row;
    trap.at(100, [&] { row = RecordSet(); });
    // The row read here is also what Save compares with the row it is about to overwrite.
    trap.at(102, [&] {
        m_loadedRow.reset();
        row.open(ContactStatements::select(QString::fromLatin1(m_kind.table), m_ID),
                 CaseStore::shared());
        m_loadedRow = SaveStep::storedRow(row);
    });
    if (trap.trueOrFailed(104, [&] { return !row.eof(); })) {
        for (int index = 0; index < kFieldCount; ++index) {
            const FieldDesign& design = kFields[static_cast<size_t>(index)];
            const QString column = QString::fromLatin1(design.column);
            trap.at(design.loadLine, [&] {
                const QString text = row.text(column);
                if (index + 1 == kFieldCount) {
                    notesField->setStoredText(text);
                } else {
                    m_lines[static_cast<size_t>(index)]->setText(text);
                }
            });
        }
    }
    trap.at(138, [&] { row.close(); });
}

void ContactEditor::loadCaseList(const CaseListMember& member, ReportListView* list) {
    if (list == nullptr) {
        return;  // the customer editor has no case lists
    }
    EmployeeCaseLists::fill(m_prompts, window(), member, list, m_ID);
}

void ContactEditor::loadOpenedCases() {
    loadCaseList(EmployeeCaseLists::members()[0], openedCasesList);
}

void ContactEditor::loadAssignedCases() {
    loadCaseList(EmployeeCaseLists::members()[1], assignedCasesList);
}

void ContactEditor::save() {
    ErrorTrap trap{m_prompts, window(), QStringLiteral("PushButton2_Click")};
    if (trap.trueOrFailed(100, [this] { return onlyBlanks(firstNameField->text()); })) {
        trap.at(102,
                [this] { m_prompts.inform(QStringLiteral("You forgot to input first name.")); });
        trap.at(104, [this] { firstNameField->setFocus(); });
        return;
    }
    if (trap.trueOrFailed(106, [this] { return onlyBlanks(lastNameField->text()); })) {
        trap.at(108,
                [this] { m_prompts.inform(QStringLiteral("You forgot to input last name.")); });
        trap.at(110, [this] { lastNameField->setFocus(); });
        return;
    }
    const QString table = QString::fromLatin1(m_kind.table);
    // A statement that the database refuses is reported, and the window stays open with
    // everything the user typed.
    if (trap.trueOrFailed(112, [this] { return !m_ID.isEmpty(); })) {
        // Another user's change since the window opened is asked about first (at this line).
        const std::optional<int> changed = SaveStep::writeChecked(
            trap, m_prompts, 114, ContactStatements::select(table, m_ID), m_loadedRow,
            SaveStep::overwriteQuestion("record"),
            [&] { return ContactStatements::update(table, record(), m_ID); });
        // A row deleted since the window opened: nothing was saved, so say so.
        if (!changed ||
            !SaveStep::reportUpdate(
                trap, m_prompts, 116, *changed,
                QStringLiteral("This record no longer exists; it may have been deleted."))) {
            return;
        }
    } else {
        if (!SaveStep::write(trap, 118,
                             [&] { return ContactStatements::insert(table, record()); })) {
            return;
        }
        trap.at(120, [this] { m_prompts.inform(QStringLiteral("Record Successfully Saved")); });
    }
    trap.at(122, [this] { accept(); });
}

void ContactEditor::cancel() {
    ErrorTrap trap{m_prompts, window(),
                   QStringLiteral("PushButton%1_Click").arg(m_kind.cancelButton)};
    trap.at(100, [this] { reject(); });
}

void ContactEditor::done(int result) {
    m_closed = true;
    QDialog::done(result);
}
