#include "case_editor.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <limits>

#include "case_statements.h"
#include "case_store.h"
#include "contact_editor.h"
#include "contact_statements.h"
#include "control_places.h"
#include "date_picker.h"
#include "date_text.h"
#include "dialog_frame.h"
#include "error_trap.h"
#include "history_window.h"
#include "lookup_members.h"
#include "multi_line_field.h"
#include "people_members.h"
#include "prompts.h"
#include "record_set.h"
#include "save_step.h"
#include "screen_reader.h"
#include "sql_text.h"
#include "twips.h"
#include "window_dressing.h"
#include "window_pointer.h"

namespace {

const QString kWindow = QStringLiteral("Form2");

constexpr double kClientWidth = 8040;
constexpr double kClientHeight = 8475;

// A caption label: its name, its caption, and how far above its field it stands, in twips.
struct LabelPlace {
    const char* name;
    const char* caption;
    double above;
};
constexpr Twips::Rect kIdLabel{6480, 465, 240, 225};

const char* const kMessageText = "Please input a valid Resolved Date or leave it empty.";

// Adds an entry at the end of a list without selecting it: a list that had no selection keeps
// none (a combo box would otherwise select the first entry added to it).
void appendEntry(QComboBox* list, const QString& text) {
    const bool unselected = list->currentIndex() < 0;
    list->addItem(text);
    if (unselected) {
        list->setCurrentIndex(-1);
    }
}

// A list "takes" a text by selecting its first entry with exactly that text.
void takeText(QComboBox* list, const QVariant& value) {
    if (value.isNull()) {
        throw Failure(QStringLiteral("Invalid use of Null"));
    }
    const QString text = displayText(value);
    const int index = list->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0) {
        throw Failure(
            QStringLiteral("The list %1 has no entry '%2'.").arg(list->objectName(), text));
    }
    list->setCurrentIndex(index);
}

// A people list takes the person of the ID: two people may share a name, and the case must stay
// with its own. The name is the fallback for an ID that the list does not hold.
void takePerson(QComboBox* list, const QStringList& ids, const QVariant& id, const QVariant& name) {
    const qsizetype position = id.isNull() ? -1 : ids.indexOf(displayText(id));
    if (position < 0 || position >= list->count()) {
        takeText(list, name);
        return;
    }
    list->setCurrentIndex(static_cast<int>(position));
}

QString requiredText(const QVariant& value) {
    if (value.isNull()) {
        throw Failure(QStringLiteral("Invalid use of Null"));
    }
    return displayText(value);
}

QDate requiredDate(const QVariant& value) {
    if (value.isNull()) {
        throw Failure(QStringLiteral("Invalid use of Null"));
    }
    if (value.typeId() != QMetaType::QDateTime) {
        throw Failure(QStringLiteral("Type mismatch: '%1' is not a date.").arg(value.toString()));
    }
    return value.toDateTime().date();
}

// The ID kept at the list's selected position, from its parallel ID list.
QString idAt(const QStringList& ids, const QComboBox* list) {
    const int position = list->currentIndex();
    if (position < 0 || position >= ids.size()) {
        throw Failure(QStringLiteral("Subscript out of range: no ID for entry %1 of %2.")
                          .arg(position)
                          .arg(list->objectName()));
    }
    return ids.at(position);
}

// A button's handler is named after the button, as the error box's location texts show it.
QString clickHandler(const QPushButton* button) {
    return button->objectName() + QLatin1String("_Click");
}

}  // namespace

CaseEditor::CaseEditor(Prompts& prompts, const QString& programFolder, QWidget* parent)
    : QDialog(parent), m_prompts(prompts), m_programFolder(programFolder) {
    setObjectName(kWindow);
    setWindowTitle(QStringLiteral("Add New"));
    createControls();
    placeControls();
    connectHandlers();
}

CaseEditor::~CaseEditor() = default;

void CaseEditor::createControls() {
    DialogFrame::setUp(this, kClientWidth, kClientHeight);
    // The controls get their designer names with their places (placeControls).
    const auto lineEdit = [this] {
        auto* edit = new QLineEdit(this);
        edit->setMaxLength(std::numeric_limits<int>::max());
        return edit;
    };
    titleField = lineEdit();
    idField = lineEdit();
    idField->setEnabled(false);  // shows the case's ID, greyed, for its whole life
    resolvedDateField = lineEdit();
    commentsField = new MultiLineField(this);

    const auto pickList = [this] {
        auto* list = new QComboBox(this);
        list->setEditable(false);  // only an entry of the list can be picked
        list->setInsertPolicy(QComboBox::NoInsert);
        list->setMaxVisibleItems(16);
        return list;
    };
    assignedToList = pickList();
    openedByList = pickList();
    statusList = pickList();
    categoryList = pickList();
    priorityList = pickList();
    customerList = pickList();
    knowledgeBaseList = pickList();
    // The people lists' contact is edited with the "*" button beside each (a double click on a
    // drop-down list only opens it); the knowledge-base list holds no contacts.
    for (QComboBox* list : {assignedToList, openedByList, customerList}) {
        list->setToolTip(QStringLiteral("Click * to edit the selected contact"));
    }

    openedDatePicker = new DatePicker(this);
    dueDatePicker = new DatePicker(this);

    const auto button = [this](int number, const char* caption) {
        return ControlPlaces::pushButton(this, number, QString::fromLatin1(caption));
    };
    cancelButton = button(1, "Cancel");
    saveButton = button(2, "Save");
    openedByAddButton = button(3, "+");
    openedByDeleteButton = button(4, "-");
    assignedToAddButton = button(5, "+");
    assignedToDeleteButton = button(6, "-");
    statusAddButton = button(7, "+");
    statusDeleteButton = button(8, "-");
    assignedToEditButton = button(9, "*");
    openedByEditButton = button(10, "*");
    categoryAddButton = button(11, "+");
    categoryDeleteButton = button(12, "-");
    priorityAddButton = button(13, "+");
    priorityDeleteButton = button(14, "-");
    customerAddButton = button(15, "+");
    customerDeleteButton = button(16, "-");
    customerEditButton = button(17, "*");
    knowledgeBaseAddButton = button(18, "+");
    knowledgeBaseDeleteButton = button(19, "-");
    m_pointer = new WindowPointer(this);
    buildFamilies();
}

// Each family row holds its design and the controls it drives, in the order of the designs.
void CaseEditor::buildFamilies() {
    m_lookups = {{
        {&lookupMembers()[0], statusList, statusAddButton, statusDeleteButton},
        {&lookupMembers()[1], categoryList, categoryAddButton, categoryDeleteButton},
        {&lookupMembers()[2], priorityList, priorityAddButton, priorityDeleteButton},
        {&lookupMembers()[3], knowledgeBaseList, knowledgeBaseAddButton, knowledgeBaseDeleteButton},
    }};
    m_people = {{
        {&peopleMembers()[0], assignedToList, &m_employeeIds, &CaseEditor::loadEmployees,
         assignedToAddButton, assignedToEditButton, assignedToDeleteButton},
        {&peopleMembers()[1], openedByList, &m_employeeIds, &CaseEditor::loadEmployees,
         openedByAddButton, openedByEditButton, openedByDeleteButton},
        {&peopleMembers()[2], customerList, &m_customerIds, &CaseEditor::loadCustomers,
         customerAddButton, customerEditButton, customerDeleteButton},
    }};
}

void CaseEditor::placeControls() {
    ControlPlaces::apply({
        {titleField, {120, 405, 6120, 345}, 0, "Text1"},
        {assignedToList, {120, 1155, 2520, 345}, 1, "Combo1"},
        {assignedToAddButton, {2640, 1155, 360, 345}, 2, "PushButton5"},
        {assignedToEditButton, {3120, 1155, 360, 345}, 3, "PushButton9"},
        {assignedToDeleteButton, {3600, 1155, 360, 345}, 4, "PushButton6"},
        {customerList, {120, 1995, 2520, 345}, 5, "Combo6"},
        {customerAddButton, {2640, 1995, 360, 345}, 6, "PushButton15"},
        {customerEditButton, {3120, 1995, 360, 345}, 7, "PushButton17"},
        {customerDeleteButton, {3600, 1995, 360, 345}, 8, "PushButton16"},
        {openedByList, {120, 2715, 2520, 345}, 9, "Combo2"},
        {openedByAddButton, {2640, 2715, 360, 345}, 10, "PushButton3"},
        {openedByEditButton, {3120, 2715, 360, 345}, 11, "PushButton10"},
        {openedByDeleteButton, {3600, 2715, 360, 345}, 12, "PushButton4"},
        {openedDatePicker, {120, 3555, 3840, 345}, 13, "DateTimePicker1"},
        {dueDatePicker, {120, 4395, 3840, 345}, 14, "DateTimePicker2"},
        {statusList, {4080, 1155, 2880, 345}, 15, "Combo3"},
        {statusAddButton, {7080, 1155, 360, 345}, 16, "PushButton7"},
        {statusDeleteButton, {7560, 1155, 360, 345}, 17, "PushButton8"},
        {categoryList, {4080, 1995, 2880, 345}, 18, "Combo4"},
        {categoryAddButton, {7080, 1995, 360, 345}, 19, "PushButton11"},
        {categoryDeleteButton, {7560, 1995, 360, 345}, 20, "PushButton12"},
        {priorityList, {4080, 2715, 2880, 345}, 21, "Combo5"},
        {priorityAddButton, {7080, 2715, 360, 345}, 22, "PushButton13"},
        {priorityDeleteButton, {7560, 2715, 360, 345}, 23, "PushButton14"},
        {knowledgeBaseList, {4080, 3555, 2880, 345}, 24, "Combo7"},
        {knowledgeBaseAddButton, {7080, 3555, 360, 345}, 25, "PushButton18"},
        {knowledgeBaseDeleteButton, {7560, 3555, 360, 345}, 26, "PushButton19"},
        {resolvedDateField, {4080, 4395, 3840, 345}, 27, "Text4"},
        {saveButton, {120, 7950, 3840, 405}, 28, "PushButton2"},
        {cancelButton, {4080, 7950, 3840, 405}, 29, "PushButton1"},
        {idField, {6720, 405, 1200, 345}, 38, "Text2"},
        {commentsField, {120, 5205, 7800, 2625}, 40, "Text3"},
    });
    const std::array<std::pair<QWidget*, LabelPlace>, 12> labels{{
        {openedDatePicker, {"Label1_0", "Opened Date", 285}},
        {titleField, {"Label1_2", "Title", 255}},
        {dueDatePicker, {"Label1_3", "Due Date", 285}},
        {commentsField, {"Label1_4", "Comments", 255}},
        {resolvedDateField, {"Label1_5", "Resolved Date", 285}},
        {openedByList, {"lblDetails_0", "Opened By", 285}},
        {statusList, {"lblDetails_1", "Status", 285}},
        {categoryList, {"lblDetails_2", "Category", 285}},
        {priorityList, {"lblDetails_3", "Priority", 285}},
        {assignedToList, {"lblDetails_4", "Assigned To", 285}},
        {customerList, {"lblDetails_5", "Customer", 285}},
        {knowledgeBaseList, {"lblDetails_6", "Knowledge Base", 285}},
    }};
    for (const auto& [field, place] : labels) {
        DialogFrame::labelAbove(field, QString::fromLatin1(place.name),
                                QString::fromLatin1(place.caption), place.above);
    }
    auto* idLabel = new QLabel(QStringLiteral("ID"), this);
    idLabel->setObjectName(QStringLiteral("Label1_1"));
    idField->setAccessibleName(idLabel->text());
    Twips::place(idLabel, kIdLabel);
    ScreenReader::nameInnerParts(this);
}

void CaseEditor::connectHandlers() {
    connect(saveButton, &QPushButton::clicked, this, [this] { save(); });
    connect(cancelButton, &QPushButton::clicked, this, [this] { cancel(); });
    // Ctrl+S is the Save button, with all its checks.
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), this), &QShortcut::activated,
            saveButton, &QPushButton::click);
    // Ctrl+H: the case's history, for a case that is stored.
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_H), this), &QShortcut::activated, this,
            [this] {
                untrapped(m_prompts, kWindow, QStringLiteral("ShowHistory"), [this] {
                    if (m_ID.isEmpty()) {
                        m_prompts.inform(
                            QStringLiteral("This case is not saved yet, so it has no history."));
                        return;
                    }
                    HistoryWindow::show(m_prompts, m_ID.toLongLong(), this);
                });
            });
    // The small buttons say what they do, to the pointer and to a screen reader.
    const auto tell = [](QPushButton* small, const char* tip) {
        small->setToolTip(QString::fromLatin1(tip));
        small->setAccessibleName(QString::fromLatin1(tip));
    };
    m_pointer->showCustomOver(cancelButton);
    m_pointer->showCustomOver(saveButton);
    for (const LookupFamily& family : m_lookups) {
        for (QPushButton* button : {family.add, family.remove}) {
            m_pointer->showCustomOver(button);
        }
        tell(family.add, family.design->addTip);
        tell(family.remove, family.design->deleteTip);
        connect(family.add, &QPushButton::clicked, this,
                [this, &family] { addLookupValue(family); });
        connect(family.remove, &QPushButton::clicked, this,
                [this, &family] { deleteLookupValue(family); });
    }
    for (const PeopleFamily& family : m_people) {
        for (QPushButton* button : {family.add, family.edit, family.remove}) {
            m_pointer->showCustomOver(button);
        }
        tell(family.add, family.design->addTip);
        tell(family.edit, family.design->editTip);
        tell(family.remove, family.design->deleteTip);
        connect(family.add, &QPushButton::clicked, this, [this, &family] { addPerson(family); });
        connect(family.edit, &QPushButton::clicked, this, [this, &family] { editPerson(family); });
        connect(family.remove, &QPushButton::clicked, this,
                [this, &family] { deletePerson(family); });
    }
}

void CaseEditor::setCaption(const QString& caption) {
    if (!m_loaded) {
        m_loaded = true;
        load();
    }
    setWindowTitle(caption);
}

void CaseEditor::load() {
    m_loaded = true;
    ErrorTrap trap{m_prompts, kWindow, QStringLiteral("Form_Load")};
    WindowDressing::dress(trap, this, *m_pointer, m_programFolder);
    trap.at(108, [this] { loadEmployees(); });
    trap.at(110, [this] { loadCustomers(); });
    trap.at(112, [this] { loadStatuses(); });
    trap.at(114, [this] { loadCategories(); });
    trap.at(116, [this] { loadPriorities(); });
    trap.at(118, [this] { loadKnowledgeBases(); });
    trap.at(120, [this] { assignedToList->setCurrentIndex(-1); });
    trap.at(122, [this] { openedDatePicker->setDate(QDate::currentDate()); });
    trap.at(124, [this] { dueDatePicker->setDate(QDate::currentDate()); });
    if (trap.trueOrFailed(126, [this] { return !m_ID.isEmpty(); })) {
        trap.at(128, [this] { loadCase(); });
    }
}

void CaseEditor::loadLookupList(const LookupFamily& family) {
    const LookupMember& member = *family.design;
    ErrorTrap trap{m_prompts, kWindow, QString::fromLatin1(member.loader)};
    QComboBox* list = family.list;
    const QString column = LookupStatements::column(member.kind);
    RecordSet rows;
    trap.at(100, [&] { list->clear(); });
    trap.at(102, [&] { rows = RecordSet(); });
    trap.at(104, [&] { rows.open(LookupStatements::list(member.kind), CaseStore::shared()); });
    trap.loop(
        106, [&] { return !rows.eof(); },
        [&] {
            trap.at(108, [&] { appendEntry(list, rows.text(column)); });
            trap.at(110, [&] { rows.moveNext(); });
        });
    trap.at(112, [&] { rows.close(); });
}

void CaseEditor::loadStatuses() {
    loadLookupList(m_lookups[0]);
}
void CaseEditor::loadCategories() {
    loadLookupList(m_lookups[1]);
}
void CaseEditor::loadPriorities() {
    loadLookupList(m_lookups[2]);
}
void CaseEditor::loadKnowledgeBases() {
    loadLookupList(m_lookups[3]);
}

// A people list loader: its statement, the lists it fills beside its ID list, and the numbered
// line of each step. Every step keeps the number of its source line even when it does nothing of
// its own (the loop's "next" below is the row's move), so that the numbers in an error box match
// the procedure as it is written.
struct PeopleListLoad {
    const char* procedure;
    const ContactKind& people;
    const char* nameColumn;
    QStringList* ids;
    std::array<QComboBox*, 2> lists;  // the second is null for a single list
    struct Lines {
        int clearIds;
        std::array<int, 2> clearList;
        int newRecordSet;
        int open;
        int loop;
        int appendId;
        std::array<int, 2> appendName;
        int moveNext;
        int close;
    } lines;
};

void CaseEditor::loadPeopleList(const PeopleListLoad& load) {
    ErrorTrap trap{m_prompts, kWindow, QString::fromLatin1(load.procedure)};
    const PeopleListLoad::Lines& lines = load.lines;
    const QString nameColumn = QString::fromLatin1(load.nameColumn);
    RecordSet rows;
    trap.at(lines.clearIds, [&] { *load.ids = QStringList(); });
    for (size_t i = 0; i < load.lists.size() && load.lists[i] != nullptr; ++i) {
        trap.at(lines.clearList[i], [&] { load.lists[i]->clear(); });
    }
    trap.at(lines.newRecordSet, [&] { rows = RecordSet(); });
    trap.at(lines.open, [&] {
        rows.open(ContactStatements::listed(QString::fromLatin1(load.people.table)),
                  CaseStore::shared());
    });
    trap.loop(
        lines.loop, [&] { return !rows.eof(); },
        [&] {
            trap.at(lines.appendId, [&] { load.ids->append(rows.text(QStringLiteral("ID"))); });
            for (size_t i = 0; i < load.lists.size() && load.lists[i] != nullptr; ++i) {
                trap.at(lines.appendName[i],
                        [&] { appendEntry(load.lists[i], rows.text(nameColumn)); });
            }
            trap.at(lines.moveNext, [&] { rows.moveNext(); });
        });
    trap.at(lines.close, [&] { rows.close(); });
}

// Both employee lists hold the same entries in the same order, parallel to m_employeeIds.
void CaseEditor::loadEmployees() {
    loadPeopleList({.procedure = "LoadEmployees",
                    .people = ContactKind::employees(),
                    .nameColumn = "Employee Name",
                    .ids = &m_employeeIds,
                    .lists = {assignedToList, openedByList},
                    .lines = {.clearIds = 100,
                              .clearList = {102, 104},
                              .newRecordSet = 106,
                              .open = 108,
                              .loop = 110,
                              .appendId = 112,
                              .appendName = {114, 116},
                              .moveNext = 118,
                              .close = 120}});
}

void CaseEditor::loadCustomers() {
    loadPeopleList({.procedure = "LoadCustomers",
                    .people = ContactKind::customers(),
                    .nameColumn = "Customer Name",
                    .ids = &m_customerIds,
                    .lists = {customerList, nullptr},
                    .lines = {.clearIds = 100,
                              .clearList = {102, 0},
                              .newRecordSet = 104,
                              .open = 106,
                              .loop = 108,
                              .appendId = 110,
                              .appendName = {112, 0},
                              .moveNext = 114,
                              .close = 116}});
}

void CaseEditor::loadCase() {
    ErrorTrap trap{m_prompts, kWindow, QStringLiteral("LoadData")};
    RecordSet row;
    trap.at(100, [&] { row = RecordSet(); });
    // The row as the table stores it comes first: Save compares it with the row it is about to
    // overwrite. Read before the view, a change made in between shows as a change at Save (a
    // question too many), never as none.
    // A resolved case is not among the open ones: it is read, with the same columns, from the
    // closed cases, so that it can be changed (and reopened) like any other.
    trap.at(102, [&] {
        m_loadedRow.reset();
        RecordSet stored = CaseStore::shared().query(storedRowSelect());
        m_loadedRow = SaveStep::storedRow(stored);
        stored.close();
        row.open(CaseStatements::inView(CaseView::Open, m_ID), CaseStore::shared());
        if (row.eof()) {
            row.close();
            row.open(CaseStatements::inView(CaseView::Closed, m_ID), CaseStore::shared());
        }
    });
    if (trap.trueOrFailed(104, [&] { return !row.eof(); })) {
        const auto field = [&](const char* name) { return row.value(QString::fromLatin1(name)); };
        trap.at(106, [&] { idField->setText(requiredText(field("ID"))); });
        trap.at(108, [&] { titleField->setText(requiredText(field("Title"))); });
        trap.at(110, [&] {
            takePerson(assignedToList, m_employeeIds, field("Assigned To"),
                       field("Assigned To Name"));
        });
        trap.at(112, [&] {
            takePerson(openedByList, m_employeeIds, field("Opened By"), field("Opened By Name"));
        });
        trap.at(114, [&] { takeText(statusList, field("Status")); });
        trap.at(116, [&] { takeText(categoryList, field("Category")); });
        trap.at(118, [&] { takeText(priorityList, field("Priority")); });
        trap.at(120, [&] {
            takePerson(customerList, m_customerIds, field("Customer"), field("Customer Name"));
        });
        trap.at(122, [&] { takeText(knowledgeBaseList, field("Knowledge Base")); });
        trap.at(124, [&] { resolvedDateField->setText(displayText(field("Resolved Date"))); });
        trap.at(126, [&] { openedDatePicker->setDate(requiredDate(field("Opened Date"))); });
        trap.at(128, [&] { dueDatePicker->setDate(requiredDate(field("Due Date"))); });
        trap.at(130, [&] { commentsField->setStoredText(displayText(field("comments"))); });
    }
    trap.at(132, [&] { row.close(); });
}

QString CaseEditor::storedRowSelect() const {
    return CaseStatements::stored(m_ID);
}

void CaseEditor::save() {
    ErrorTrap trap{m_prompts, kWindow, QStringLiteral("PushButton2_Click")};
    // The required fields, in this order; the first one missing is the only one reported.
    // Each check has three lines: the test, the message, the focus.
    struct Required {
        std::array<int, 3> lines;
        QComboBox* list;
        const char* message;
    };
    const std::array<Required, 7> requiredLists{{
        {{106, 108, 110}, assignedToList, "You forgot to select Assigned To."},
        {{112, 114, 116}, openedByList, "You forgot to select Opened By."},
        {{118, 120, 122}, customerList, "You forgot to select Customer."},
        {{124, 126, 128}, statusList, "You forgot to select Status."},
        {{130, 132, 134}, categoryList, "You forgot to select Category."},
        {{136, 138, 140}, priorityList, "You forgot to select Priority."},
        {{142, 144, 146}, knowledgeBaseList, "You forgot to select Knowledge Base."},
    }};
    if (trap.trueOrFailed(100, [this] { return titleField->text().trimmed().isEmpty(); })) {
        trap.at(102, [this] { m_prompts.inform(QStringLiteral("You forgot to input Title.")); });
        trap.at(104, [this] { titleField->setFocus(); });
        return;
    }
    for (const Required& required : requiredLists) {
        if (trap.trueOrFailed(required.lines[0],
                              [&] { return required.list->currentIndex() < 0; })) {
            trap.at(required.lines[1],
                    [&] { m_prompts.inform(QString::fromLatin1(required.message)); });
            trap.at(required.lines[2], [&] { required.list->setFocus(); });
            return;
        }
    }
    // The dates are decided at line 148. A picker whose text is no date is refused like a
    // missing field, so that no date is stored that the field did not show.
    struct DateCheck {
        DatePicker* picker;
        const char* message;
    };
    const std::array<DateCheck, 2> dates{{
        {openedDatePicker, "Please input a valid Opened Date."},
        {dueDatePicker, "Please input a valid Due Date."},
    }};
    for (const DateCheck& date : dates) {
        if (trap.trueOrFailed(148, [&] { return !date.picker->holdsDate(); })) {
            trap.at(148, [&] {
                m_prompts.inform(QString::fromLatin1(date.message));
                date.picker->setFocus();
            });
            return;
        }
    }
    // The resolved date: NULL when empty, the typed text when it is a date; any other text is
    // refused, so that nothing the user typed is dropped without a word.
    QString resolvedDate = QStringLiteral("NULL");
    if (trap.trueOrFailed(148, [this] { return resolvedDateField->text().isEmpty(); })) {
        trap.at(150, [&] { resolvedDate = QStringLiteral("NULL"); });
    } else if (trap.trueOrFailed(152, [this] {
                   return DateText::parse(resolvedDateField->text()).has_value();
               })) {
        trap.at(154, [&] { resolvedDate = SqlText::quoted(resolvedDateField->text()); });
    } else {
        trap.at(156, [this] {
            m_prompts.inform(QString::fromLatin1(kMessageText));
            resolvedDateField->setFocus();
        });
        return;
    }
    CaseRecord record;
    trap.at(158, [&] { record.callTime = DateText::toText(QDate::currentDate()); });
    const auto fillRecord = [&] {
        record.title = titleField->text();
        record.assignedTo = idAt(m_employeeIds, assignedToList);
        record.openedBy = idAt(m_employeeIds, openedByList);
        record.openedDate = DateText::toText(openedDatePicker->date());
        record.status = statusList->currentText();
        record.category = categoryList->currentText();
        record.priority = priorityList->currentText();
        record.comments = commentsField->storedText();
        record.dueDate = DateText::toText(dueDatePicker->date());
        record.knowledgeBase = knowledgeBaseList->currentText();
        record.resolvedDate = resolvedDate;
        record.customer = idAt(m_customerIds, customerList);
    };
    // A statement the database refuses keeps the window open with everything the user typed.
    QString statement;
    if (trap.trueOrFailed(160, [this] { return !m_ID.isEmpty(); })) {
        trap.at(162, [&] {
            fillRecord();
            statement = CaseStatements::update(record, m_ID);
        });
        // Another user's change since the editor opened is asked about first (at this line).
        const std::optional<int> changed =
            SaveStep::writeChecked(trap, m_prompts, 164, storedRowSelect(), m_loadedRow,
                                   SaveStep::overwriteQuestion("case"), [&] { return statement; });
        if (!changed ||
            !SaveStep::reportUpdate(
                trap, m_prompts, 166, *changed,
                QStringLiteral("This case no longer exists; it may have been deleted."))) {
            return;
        }
    } else {
        trap.at(168, [&] {
            fillRecord();
            statement = CaseStatements::insert(record);
        });
        if (!SaveStep::write(trap, 170, [&] { return statement; })) {
            return;
        }
        trap.at(172, [this] { m_prompts.inform(QStringLiteral("Record Successfully Saved")); });
    }
    trap.at(174, [this] { finish(); });
}

void CaseEditor::cancel() {
    ErrorTrap trap{m_prompts, kWindow, QStringLiteral("PushButton1_Click")};
    trap.at(100, [this] { reject(); });
}

void CaseEditor::finish() {
    accept();
}

void CaseEditor::done(int result) {
    m_closed = true;
    QDialog::done(result);
}

void CaseEditor::closeEvent(QCloseEvent* event) {
    // The title bar's close is a Cancel: nothing is written and nothing is asked.
    m_closed = true;
    QDialog::closeEvent(event);
}

void CaseEditor::addLookupValue(const LookupFamily& family) {
    const LookupMember& member = *family.design;
    ErrorTrap trap{m_prompts, kWindow, clickHandler(family.add)};
    QString answer;
    trap.at(100, [&] {
        answer =
            m_prompts.input(QString::fromLatin1(member.prompt), QString::fromLatin1(member.title));
    });
    if (trap.trueOrFailed(102, [&] { return answer.isEmpty(); })) {
        return;  // cancelled, or nothing typed: nothing is written and the selection stays
    }
    trap.at(104,
            [&] { CaseStore::shared().execute(LookupStatements::insert(member.kind, answer)); });
    trap.at(106, [&] { loadLookupList(family); });
}

bool CaseEditor::deletionConfirmed(ErrorTrap& trap, const QComboBox* list, const char* question) {
    if (trap.trueOrFailed(100, [&] { return list->currentIndex() < 0; })) {
        return false;  // nothing selected: no question, no statement
    }
    bool yes = false;
    trap.at(102, [&] {
        yes = m_prompts.confirmNoByDefault(QString::fromLatin1(question) +
                                           QLatin1String("\r\nDo you wish to continue?"));
    });
    return yes;
}

void CaseEditor::deleteLookupValue(const LookupFamily& family) {
    const LookupMember& member = *family.design;
    ErrorTrap trap{m_prompts, kWindow, clickHandler(family.remove)};
    QComboBox* list = family.list;
    if (!deletionConfirmed(trap, list, member.question)) {
        return;
    }
    // The value and the cases that carry it go together, or neither does.
    const QString value = list->currentText();
    trap.transaction({
        {104, [&] { CaseStore::shared().execute(LookupStatements::remove(member.kind, value)); }},
        {106,
         [&] { CaseStore::shared().execute(LookupStatements::removeCases(member.kind, value)); }},
    });
    trap.at(108, [&] { loadLookupList(family); });
}

void CaseEditor::addPerson(const PeopleFamily& family) {
    ErrorTrap trap{m_prompts, kWindow, clickHandler(family.add)};
    ContactEditor editor(family.design->editor(), m_prompts, m_programFolder, this);
    trap.at(100, [&] { editor.m_ID = QString(); });
    trap.at(102, [&] {
        editor.load();
        m_prompts.showModal(editor);
    });
    // The list is rebuilt without a selection; a person just created is listed, not selected.
    trap.at(104, [&] { (this->*family.load)(); });
}

void CaseEditor::editPerson(const PeopleFamily& family) {
    ErrorTrap trap{m_prompts, kWindow, clickHandler(family.edit)};
    QComboBox* list = family.list;
    if (trap.trueOrFailed(100, [&] { return list->currentIndex() < 0; })) {
        return;
    }
    ContactEditor editor(family.design->editor(), m_prompts, m_programFolder, this);
    trap.at(102, [&] { editor.m_ID = idAt(*family.ids, list); });
    trap.at(104, [&] {
        editor.load();
        m_prompts.showModal(editor);
    });
    // Rebuilt also after a Cancel, without a selection, showing any changed name.
    trap.at(106, [&] { (this->*family.load)(); });
}

void CaseEditor::deletePerson(const PeopleFamily& family) {
    ErrorTrap trap{m_prompts, kWindow, clickHandler(family.remove)};
    QComboBox* list = family.list;
    if (!deletionConfirmed(trap, list, family.design->question)) {
        return;
    }
    // The person and every case linked to the person go together, or neither does.
    QString id;
    const QString table = QString::fromLatin1(family.design->editor().table);
    trap.transaction({
        {104,
         [&] {
             id = idAt(*family.ids, list);
             CaseStore::shared().execute(ContactStatements::remove(table, id));
         }},
        {106, [&] { CaseStore::shared().execute(ContactStatements::removeCases(table, id)); }},
    });
    trap.at(108, [&] { (this->*family.load)(); });
}
