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

Form2::Form2(Prompts& prompts, const QString& programFolder, QWidget* parent)
    : QDialog(parent), m_prompts(prompts), m_programFolder(programFolder) {
    setObjectName(kWindow);
    setWindowTitle(QStringLiteral("Add New"));
    createControls();
    placeControls();
    connectHandlers();
}

Form2::~Form2() = default;

void Form2::createControls() {
    DialogFrame::setUp(this, kClientWidth, kClientHeight);
    const auto lineEdit = [this](const char* name) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setMaxLength(std::numeric_limits<int>::max());
        return edit;
    };
    Text1 = lineEdit("Text1");
    Text2 = lineEdit("Text2");
    Text2->setEnabled(false);  // shows the case's ID, greyed, for its whole life
    Text4 = lineEdit("Text4");
    Text3 = new MultiLineField(this);
    Text3->setObjectName(QStringLiteral("Text3"));

    const auto pickList = [this](const char* name) {
        auto* list = new QComboBox(this);
        list->setObjectName(QString::fromLatin1(name));
        list->setEditable(false);  // only an entry of the list can be picked
        list->setInsertPolicy(QComboBox::NoInsert);
        list->setMaxVisibleItems(16);
        return list;
    };
    Combo1 = pickList("Combo1");
    Combo2 = pickList("Combo2");
    Combo3 = pickList("Combo3");
    Combo4 = pickList("Combo4");
    Combo5 = pickList("Combo5");
    Combo6 = pickList("Combo6");
    Combo7 = pickList("Combo7");
    // The people lists' contact is edited with the "*" button beside each (a double click on a
    // drop-down list only opens it); the knowledge-base list holds no contacts.
    for (QComboBox* list : {Combo1, Combo2, Combo6}) {
        list->setToolTip(QStringLiteral("Click * to edit the selected contact"));
    }

    const auto datePicker = [this](const char* name) {
        auto* picker = new DatePicker(this);
        picker->setObjectName(QString::fromLatin1(name));
        return picker;
    };
    DateTimePicker1 = datePicker("DateTimePicker1");
    DateTimePicker2 = datePicker("DateTimePicker2");

    const auto button = [this](int number, const char* caption) {
        return m_buttons[static_cast<size_t>(number)] =
                   ControlPlaces::pushButton(this, number, QString::fromLatin1(caption));
    };
    PushButton1 = button(1, "Cancel");
    PushButton2 = button(2, "Save");
    PushButton3 = button(3, "+");
    PushButton4 = button(4, "-");
    PushButton5 = button(5, "+");
    PushButton6 = button(6, "-");
    PushButton7 = button(7, "+");
    PushButton8 = button(8, "-");
    PushButton9 = button(9, "*");
    PushButton10 = button(10, "*");
    PushButton11 = button(11, "+");
    PushButton12 = button(12, "-");
    PushButton13 = button(13, "+");
    PushButton14 = button(14, "-");
    PushButton15 = button(15, "+");
    PushButton16 = button(16, "-");
    PushButton17 = button(17, "*");
    PushButton18 = button(18, "+");
    PushButton19 = button(19, "-");
    m_pointer = new WindowPointer(this);
    buildFamilies();
}

void Form2::buildFamilies() {
    const std::array<QComboBox*, 4> lookupLists{Combo3, Combo4, Combo5, Combo7};
    for (size_t i = 0; i < m_lookups.size(); ++i) {
        const LookupMember& design = lookupMembers()[i];
        m_lookups[i] = {.design = &design,
                        .list = lookupLists[i],
                        .add = m_buttons[static_cast<size_t>(design.addButton)],
                        .remove = m_buttons[static_cast<size_t>(design.deleteButton)]};
    }
    const std::array<std::pair<QComboBox*, QStringList*>, 3> peopleLists{
        {{Combo1, &EmployeeIDs}, {Combo2, &EmployeeIDs}, {Combo6, &CustomerIDs}}};
    const std::array<void (Form2::*)(), 3> loaders{&Form2::LoadEmployees, &Form2::LoadEmployees,
                                                   &Form2::LoadCustomers};
    for (size_t i = 0; i < m_people.size(); ++i) {
        const PeopleMember& design = peopleMembers()[i];
        m_people[i] = {.design = &design,
                       .list = peopleLists[i].first,
                       .ids = peopleLists[i].second,
                       .load = loaders[i],
                       .add = m_buttons[static_cast<size_t>(design.addButton)],
                       .edit = m_buttons[static_cast<size_t>(design.editButton)],
                       .remove = m_buttons[static_cast<size_t>(design.deleteButton)]};
    }
}

void Form2::placeControls() {
    ControlPlaces::apply({
        {Text1, {120, 405, 6120, 345}, 0},
        {Combo1, {120, 1155, 2520, 345}, 1},
        {PushButton5, {2640, 1155, 360, 345}, 2},
        {PushButton9, {3120, 1155, 360, 345}, 3},
        {PushButton6, {3600, 1155, 360, 345}, 4},
        {Combo6, {120, 1995, 2520, 345}, 5},
        {PushButton15, {2640, 1995, 360, 345}, 6},
        {PushButton17, {3120, 1995, 360, 345}, 7},
        {PushButton16, {3600, 1995, 360, 345}, 8},
        {Combo2, {120, 2715, 2520, 345}, 9},
        {PushButton3, {2640, 2715, 360, 345}, 10},
        {PushButton10, {3120, 2715, 360, 345}, 11},
        {PushButton4, {3600, 2715, 360, 345}, 12},
        {DateTimePicker1, {120, 3555, 3840, 345}, 13},
        {DateTimePicker2, {120, 4395, 3840, 345}, 14},
        {Combo3, {4080, 1155, 2880, 345}, 15},
        {PushButton7, {7080, 1155, 360, 345}, 16},
        {PushButton8, {7560, 1155, 360, 345}, 17},
        {Combo4, {4080, 1995, 2880, 345}, 18},
        {PushButton11, {7080, 1995, 360, 345}, 19},
        {PushButton12, {7560, 1995, 360, 345}, 20},
        {Combo5, {4080, 2715, 2880, 345}, 21},
        {PushButton13, {7080, 2715, 360, 345}, 22},
        {PushButton14, {7560, 2715, 360, 345}, 23},
        {Combo7, {4080, 3555, 2880, 345}, 24},
        {PushButton18, {7080, 3555, 360, 345}, 25},
        {PushButton19, {7560, 3555, 360, 345}, 26},
        {Text4, {4080, 4395, 3840, 345}, 27},
        {PushButton2, {120, 7950, 3840, 405}, 28},
        {PushButton1, {4080, 7950, 3840, 405}, 29},
        {Text2, {6720, 405, 1200, 345}, 38},
        {Text3, {120, 5205, 7800, 2625}, 40},
    });
    const std::array<std::pair<QWidget*, LabelPlace>, 12> labels{{
        {DateTimePicker1, {"Label1_0", "Opened Date", 285}},
        {Text1, {"Label1_2", "Title", 255}},
        {DateTimePicker2, {"Label1_3", "Due Date", 285}},
        {Text3, {"Label1_4", "Comments", 255}},
        {Text4, {"Label1_5", "Resolved Date", 285}},
        {Combo2, {"lblDetails_0", "Opened By", 285}},
        {Combo3, {"lblDetails_1", "Status", 285}},
        {Combo4, {"lblDetails_2", "Category", 285}},
        {Combo5, {"lblDetails_3", "Priority", 285}},
        {Combo1, {"lblDetails_4", "Assigned To", 285}},
        {Combo6, {"lblDetails_5", "Customer", 285}},
        {Combo7, {"lblDetails_6", "Knowledge Base", 285}},
    }};
    for (const auto& [field, place] : labels) {
        DialogFrame::labelAbove(field, QString::fromLatin1(place.name),
                                QString::fromLatin1(place.caption), place.above);
    }
    auto* idLabel = new QLabel(QStringLiteral("ID"), this);
    idLabel->setObjectName(QStringLiteral("Label1_1"));
    Text2->setAccessibleName(idLabel->text());
    Twips::place(idLabel, kIdLabel);
    ScreenReader::nameInnerParts(this);
}

void Form2::connectHandlers() {
    connect(PushButton2, &QPushButton::clicked, this, [this] { PushButton2_Click(); });
    connect(PushButton1, &QPushButton::clicked, this, [this] { PushButton1_Click(); });
    // Ctrl+S is the Save button, with all its checks.
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), this), &QShortcut::activated,
            PushButton2, &QPushButton::click);
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
    for (const LookupFamily& family : m_lookups) {
        tell(family.add, family.design->addTip);
        tell(family.remove, family.design->deleteTip);
        connect(family.add, &QPushButton::clicked, this,
                [this, &family] { addLookupValue(family); });
        connect(family.remove, &QPushButton::clicked, this,
                [this, &family] { deleteLookupValue(family); });
    }
    for (const PeopleFamily& family : m_people) {
        tell(family.add, family.design->addTip);
        tell(family.edit, family.design->editTip);
        tell(family.remove, family.design->deleteTip);
        connect(family.add, &QPushButton::clicked, this, [this, &family] { addPerson(family); });
        connect(family.edit, &QPushButton::clicked, this, [this, &family] { editPerson(family); });
        connect(family.remove, &QPushButton::clicked, this,
                [this, &family] { deletePerson(family); });
    }
    for (QPushButton* button : m_buttons) {
        if (button != nullptr) {
            m_pointer->showCustomOver(button);
        }
    }
}

void Form2::setCaption(const QString& caption) {
    if (!m_loaded) {
        m_loaded = true;
        Form_Load();
    }
    setWindowTitle(caption);
}

void Form2::Form_Load() {
    m_loaded = true;
    ErrorTrap trap{m_prompts, kWindow, QStringLiteral("Form_Load")};
    WindowDressing::dress(trap, this, *m_pointer, m_programFolder);
    trap.at(108, [this] { LoadEmployees(); });
    trap.at(110, [this] { LoadCustomers(); });
    trap.at(112, [this] { LoadStatus(); });
    trap.at(114, [this] { LoadCategories(); });
    trap.at(116, [this] { LoadPriorities(); });
    trap.at(118, [this] { LoadKB(); });
    trap.at(120, [this] { Combo1->setCurrentIndex(-1); });
    trap.at(122, [this] { DateTimePicker1->setDate(QDate::currentDate()); });
    trap.at(124, [this] { DateTimePicker2->setDate(QDate::currentDate()); });
    if (trap.trueOrFailed(126, [this] { return !m_ID.isEmpty(); })) {
        trap.at(128, [this] { LoadData(); });
    }
}

void Form2::loadLookupList(const LookupFamily& family) {
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

void Form2::LoadStatus() {
    loadLookupList(m_lookups[0]);
}
void Form2::LoadCategories() {
    loadLookupList(m_lookups[1]);
}
void Form2::LoadPriorities() {
    loadLookupList(m_lookups[2]);
}
void Form2::LoadKB() {
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

void Form2::loadPeopleList(const PeopleListLoad& load) {
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

// Both employee lists hold the same entries in the same order, parallel to EmployeeIDs.
void Form2::LoadEmployees() {
    loadPeopleList({.procedure = "LoadEmployees",
                    .people = ContactKind::employees(),
                    .nameColumn = "Employee Name",
                    .ids = &EmployeeIDs,
                    .lists = {Combo1, Combo2},
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

void Form2::LoadCustomers() {
    loadPeopleList({.procedure = "LoadCustomers",
                    .people = ContactKind::customers(),
                    .nameColumn = "Customer Name",
                    .ids = &CustomerIDs,
                    .lists = {Combo6, nullptr},
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

void Form2::LoadData() {
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
        trap.at(106, [&] { Text2->setText(requiredText(field("ID"))); });
        trap.at(108, [&] { Text1->setText(requiredText(field("Title"))); });
        trap.at(110, [&] {
            takePerson(Combo1, EmployeeIDs, field("Assigned To"), field("Assigned To Name"));
        });
        trap.at(112, [&] {
            takePerson(Combo2, EmployeeIDs, field("Opened By"), field("Opened By Name"));
        });
        trap.at(114, [&] { takeText(Combo3, field("Status")); });
        trap.at(116, [&] { takeText(Combo4, field("Category")); });
        trap.at(118, [&] { takeText(Combo5, field("Priority")); });
        trap.at(120, [&] {
            takePerson(Combo6, CustomerIDs, field("Customer"), field("Customer Name"));
        });
        trap.at(122, [&] { takeText(Combo7, field("Knowledge Base")); });
        trap.at(124, [&] { Text4->setText(displayText(field("Resolved Date"))); });
        trap.at(126, [&] { DateTimePicker1->setDate(requiredDate(field("Opened Date"))); });
        trap.at(128, [&] { DateTimePicker2->setDate(requiredDate(field("Due Date"))); });
        trap.at(130, [&] { Text3->setStoredText(displayText(field("comments"))); });
    }
    trap.at(132, [&] { row.close(); });
}

QString Form2::storedRowSelect() const {
    return CaseStatements::stored(m_ID);
}

void Form2::PushButton2_Click() {
    ErrorTrap trap{m_prompts, kWindow, QStringLiteral("PushButton2_Click")};
    // The required fields, in this order; the first one missing is the only one reported.
    // Each check has three lines: the test, the message, the focus.
    struct Required {
        std::array<int, 3> lines;
        QComboBox* list;
        const char* message;
    };
    const std::array<Required, 7> requiredLists{{
        {{106, 108, 110}, Combo1, "You forgot to select Assigned To."},
        {{112, 114, 116}, Combo2, "You forgot to select Opened By."},
        {{118, 120, 122}, Combo6, "You forgot to select Customer."},
        {{124, 126, 128}, Combo3, "You forgot to select Status."},
        {{130, 132, 134}, Combo4, "You forgot to select Category."},
        {{136, 138, 140}, Combo5, "You forgot to select Priority."},
        {{142, 144, 146}, Combo7, "You forgot to select Knowledge Base."},
    }};
    if (trap.trueOrFailed(100, [this] { return Text1->text().trimmed().isEmpty(); })) {
        trap.at(102, [this] { m_prompts.inform(QStringLiteral("You forgot to input Title.")); });
        trap.at(104, [this] { Text1->setFocus(); });
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
        {DateTimePicker1, "Please input a valid Opened Date."},
        {DateTimePicker2, "Please input a valid Due Date."},
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
    if (trap.trueOrFailed(148, [this] { return Text4->text().isEmpty(); })) {
        trap.at(150, [&] { resolvedDate = QStringLiteral("NULL"); });
    } else if (trap.trueOrFailed(152,
                                 [this] { return DateText::parse(Text4->text()).has_value(); })) {
        trap.at(154, [&] { resolvedDate = SqlText::quoted(Text4->text()); });
    } else {
        trap.at(156, [this] {
            m_prompts.inform(QString::fromLatin1(kMessageText));
            Text4->setFocus();
        });
        return;
    }
    CaseRecord record;
    trap.at(158, [&] { record.callTime = DateText::toText(QDate::currentDate()); });
    const auto fillRecord = [&] {
        record.title = Text1->text();
        record.assignedTo = idAt(EmployeeIDs, Combo1);
        record.openedBy = idAt(EmployeeIDs, Combo2);
        record.openedDate = DateText::toText(DateTimePicker1->date());
        record.status = Combo3->currentText();
        record.category = Combo4->currentText();
        record.priority = Combo5->currentText();
        record.comments = Text3->storedText();
        record.dueDate = DateText::toText(DateTimePicker2->date());
        record.knowledgeBase = Combo7->currentText();
        record.resolvedDate = resolvedDate;
        record.customer = idAt(CustomerIDs, Combo6);
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

void Form2::PushButton1_Click() {
    ErrorTrap trap{m_prompts, kWindow, QStringLiteral("PushButton1_Click")};
    trap.at(100, [this] { reject(); });
}

void Form2::finish() {
    accept();
}

void Form2::done(int result) {
    m_closed = true;
    QDialog::done(result);
}

void Form2::closeEvent(QCloseEvent* event) {
    // The title bar's close is a Cancel: nothing is written and nothing is asked.
    m_closed = true;
    QDialog::closeEvent(event);
}

void Form2::addLookupValue(const LookupFamily& family) {
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

bool Form2::deletionConfirmed(ErrorTrap& trap, const QComboBox* list, const char* question) {
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

void Form2::deleteLookupValue(const LookupFamily& family) {
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

void Form2::addPerson(const PeopleFamily& family) {
    ErrorTrap trap{m_prompts, kWindow, clickHandler(family.add)};
    ContactEditor editor(family.design->editor(), m_prompts, m_programFolder, this);
    trap.at(100, [&] { editor.m_ID = QString(); });
    trap.at(102, [&] {
        editor.Form_Load();
        m_prompts.showModal(editor);
    });
    // The list is rebuilt without a selection; a person just created is listed, not selected.
    trap.at(104, [&] { (this->*family.load)(); });
}

void Form2::editPerson(const PeopleFamily& family) {
    ErrorTrap trap{m_prompts, kWindow, clickHandler(family.edit)};
    QComboBox* list = family.list;
    if (trap.trueOrFailed(100, [&] { return list->currentIndex() < 0; })) {
        return;
    }
    ContactEditor editor(family.design->editor(), m_prompts, m_programFolder, this);
    trap.at(102, [&] { editor.m_ID = idAt(*family.ids, list); });
    trap.at(104, [&] {
        editor.Form_Load();
        m_prompts.showModal(editor);
    });
    // Rebuilt also after a Cancel, without a selection, showing any changed name.
    trap.at(106, [&] { (this->*family.load)(); });
}

void Form2::deletePerson(const PeopleFamily& family) {
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
