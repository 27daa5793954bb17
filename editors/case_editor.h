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
// it modally. Its pick lists of people are kept parallel to EmployeeIDs and CustomerIDs by
// position: the lists never sort themselves.
class Form2 : public QDialog {
public:
    Form2(Prompts& prompts, const QString& programFolder, QWidget* parent = nullptr);
    ~Form2() override;

    // The ID of the case to edit as decimal text, or the empty text for a new case.
    QString m_ID;

    // Sets the caption; the first use of the window runs its load handler.
    void setCaption(const QString& caption);
    bool loaded() const { return m_loaded; }

    // True once the window has closed itself (Save or Cancel) or was closed.
    bool closed() const { return m_closed; }
    void done(int result) override;

    // The IDs of the people lists' entries, position by position (read only).
    const QStringList& employeeIds() const { return EmployeeIDs; }
    const QStringList& customerIds() const { return CustomerIDs; }

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
        void (Form2::*load)() = nullptr;
        QPushButton* add = nullptr;
        QPushButton* edit = nullptr;
        QPushButton* remove = nullptr;
    };

    void createControls();
    void placeControls();
    void connectHandlers();

    void Form_Load();
    void LoadEmployees();
    void LoadCustomers();
    void LoadStatus();
    void LoadCategories();
    void LoadPriorities();
    void LoadKB();
    void LoadData();
    // The select of the edited case's own row in its table.
    QString storedRowSelect() const;

    void PushButton2_Click();  // Save
    void PushButton1_Click();  // Cancel

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

    QStringList EmployeeIDs;
    QStringList CustomerIDs;

    QLineEdit* Text1 = nullptr;             // Title
    QLineEdit* Text2 = nullptr;             // ID, shown only
    QLineEdit* Text4 = nullptr;             // Resolved Date, typed as text
    MultiLineField* Text3 = nullptr;        // Comments
    QComboBox* Combo1 = nullptr;            // Assigned To
    QComboBox* Combo2 = nullptr;            // Opened By
    QComboBox* Combo3 = nullptr;            // Status
    QComboBox* Combo4 = nullptr;            // Category
    QComboBox* Combo5 = nullptr;            // Priority
    QComboBox* Combo6 = nullptr;            // Customer
    QComboBox* Combo7 = nullptr;            // Knowledge Base
    DatePicker* DateTimePicker1 = nullptr;  // Opened Date
    DatePicker* DateTimePicker2 = nullptr;  // Due Date
    QPushButton* PushButton1 = nullptr;     // Cancel
    QPushButton* PushButton2 = nullptr;     // Save
    QPushButton* PushButton3 = nullptr;     // Opened By: +
    QPushButton* PushButton4 = nullptr;     // Opened By: -
    QPushButton* PushButton5 = nullptr;     // Assigned To: +
    QPushButton* PushButton6 = nullptr;     // Assigned To: -
    QPushButton* PushButton7 = nullptr;     // Status: +
    QPushButton* PushButton8 = nullptr;     // Status: -
    QPushButton* PushButton9 = nullptr;     // Assigned To: *
    QPushButton* PushButton10 = nullptr;    // Opened By: *
    QPushButton* PushButton11 = nullptr;    // Category: +
    QPushButton* PushButton12 = nullptr;    // Category: -
    QPushButton* PushButton13 = nullptr;    // Priority: +
    QPushButton* PushButton14 = nullptr;    // Priority: -
    QPushButton* PushButton15 = nullptr;    // Customer: +
    QPushButton* PushButton16 = nullptr;    // Customer: -
    QPushButton* PushButton17 = nullptr;    // Customer: *
    QPushButton* PushButton18 = nullptr;    // Knowledge Base: +
    QPushButton* PushButton19 = nullptr;    // Knowledge Base: -

    // PushButton1 ... PushButton19 by their numbers, as created.
    std::array<QPushButton*, 20> m_buttons{};
    // Status, Category, Priority, Knowledge Base; Assigned To, Opened By, Customer.
    std::array<LookupFamily, 4> m_lookups{};
    std::array<PeopleFamily, 3> m_people{};

    Prompts& m_prompts;
    QString m_programFolder;
    WindowPointer* m_pointer = nullptr;
    // The edited case's row as the table held it when LoadData read it (nothing when it read
    // none), and later the version the user agreed to save over.
    std::optional<QVariantList> m_loadedRow;
    bool m_loaded = false;
    bool m_closed = false;
};
