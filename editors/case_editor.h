#pragma once

#include <QDialog>
#include <QStringList>
#include <QVariantList>
#include <array>
#include <optional>

class QComboBox;
class DatePicker;
class QLabel;
class QLineEdit;
class MultiLineField;
class QPushButton;
class ErrorTrap;
class Prompts;
class WindowPointer;
struct LookupMember;
struct PeopleMember;
struct PeopleListLoad;

// The case editor: creates a new case (m_ID empty) or changes the case whose ID m_ID holds.
// The opener sets m_ID, then the caption (which loads the window, as its first use), then shows
// it modally. Its pick lists of people are kept parallel to m_employeeIds and m_customerIds by
// position: the lists never sort themselves.
class CaseEditor : public QDialog {
public:
    CaseEditor(Prompts& prompts, const QString& programFolder, QWidget* parent = nullptr);
    ~CaseEditor() override;

    // The ID of the case to edit as decimal text, or the empty text for a new case.
    QString m_ID;

    // Sets the caption; the first use of the window runs its load handler.
    void setCaption(const QString& caption);
    bool loaded() const { return m_loaded; }

    // True once the window has closed itself (Save or Cancel) or was closed.
    bool closed() const { return m_closed; }
    void done(int result) override;

    // The IDs of the people lists' entries, position by position (read only).
    const QStringList& employeeIds() const { return m_employeeIds; }
    const QStringList& customerIds() const { return m_customerIds; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // A lookup list with its "+" and "-" buttons, driven by its design.
    struct LookupFamily {
        const LookupMember* design = nullptr;
        QComboBox* list = nullptr;
        QPushButton* add = nullptr;
        QPushButton* remove = nullptr;
    };
    // A people list with its IDs, its loader and its "+", "*" and "-" buttons.
    struct PeopleFamily {
        const PeopleMember* design = nullptr;
        QComboBox* list = nullptr;
        QStringList* ids = nullptr;
        void (CaseEditor::*load)() = nullptr;
        QPushButton* add = nullptr;
        QPushButton* edit = nullptr;
        QPushButton* remove = nullptr;
    };

    void createControls();
    void placeControls();
    void connectHandlers();

    void load();
    void loadEmployees();
    void loadCustomers();
    void loadStatuses();
    void loadCategories();
    void loadPriorities();
    void loadKnowledgeBases();
    void loadCase();
    // The select of the edited case's own row in its table.
    QString storedRowSelect() const;

    void save();
    void cancel();

    // Builds the families from their designs, once the controls exist.
    void buildFamilies();

    // The "+" and "-" buttons of the four lookup lists.
    void addLookupValue(const LookupFamily& family);
    void deleteLookupValue(const LookupFamily& family);
    void loadLookupList(const LookupFamily& family);

    // The "+", "*" and "-" buttons of the three people lists.
    void addPerson(const PeopleFamily& family);
    void editPerson(const PeopleFamily& family);
    void deletePerson(const PeopleFamily& family);
    void loadPeopleList(const PeopleListLoad& load);
    // The start of every "-" button: a selection in the list, then Yes to the question whose
    // first line is given (lines 100 and 102).
    bool deletionConfirmed(ErrorTrap& trap, const QComboBox* list, const char* question);

    // Closes the window after a save or a cancel.
    void finish();

    QStringList m_employeeIds;
    QStringList m_customerIds;

    // The controls; their designer names (the object names that tests, screen readers and the
    // error box's location texts use) stand in placeControls' table.
    QLineEdit* titleField = nullptr;
    QLineEdit* idField = nullptr;
    QLineEdit* resolvedDateField = nullptr;
    MultiLineField* commentsField = nullptr;
    QComboBox* assignedToList = nullptr;
    QComboBox* openedByList = nullptr;
    QComboBox* statusList = nullptr;
    QComboBox* categoryList = nullptr;
    QComboBox* priorityList = nullptr;
    QComboBox* customerList = nullptr;
    QComboBox* knowledgeBaseList = nullptr;
    DatePicker* openedDatePicker = nullptr;
    DatePicker* dueDatePicker = nullptr;
    QPushButton* cancelButton = nullptr;
    QPushButton* saveButton = nullptr;
    QPushButton* openedByAddButton = nullptr;
    QPushButton* openedByDeleteButton = nullptr;
    QPushButton* assignedToAddButton = nullptr;
    QPushButton* assignedToDeleteButton = nullptr;
    QPushButton* statusAddButton = nullptr;
    QPushButton* statusDeleteButton = nullptr;
    QPushButton* assignedToEditButton = nullptr;
    QPushButton* openedByEditButton = nullptr;
    QPushButton* categoryAddButton = nullptr;
    QPushButton* categoryDeleteButton = nullptr;
    QPushButton* priorityAddButton = nullptr;
    QPushButton* priorityDeleteButton = nullptr;
    QPushButton* customerAddButton = nullptr;
    QPushButton* customerDeleteButton = nullptr;
    QPushButton* customerEditButton = nullptr;
    QPushButton* knowledgeBaseAddButton = nullptr;
    QPushButton* knowledgeBaseDeleteButton = nullptr;

    // Status, Category, Priority, Knowledge Base; Assigned To, Opened By, Customer.
    std::array<LookupFamily, 4> m_lookups{};
    std::array<PeopleFamily, 3> m_people{};

    Prompts& m_prompts;
    QString m_programFolder;
    WindowPointer* m_pointer = nullptr;
    // The edited case's row as the table held it when loadCase read it (nothing when it read
    // none), and later the version the user agreed to save over.
    std::optional<QVariantList> m_loadedRow;
    bool m_loaded = false;
    bool m_closed = false;
};
