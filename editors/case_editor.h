#pragma once

#include <QDialog>
#include <QStringList>
#include <array>
#include <initializer_list>

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class MultiLineField;
class QPushButton;
class ErrorTrap;
class Prompts;
class WindowPointer;
struct LookupMember;
struct PeopleMember;

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

    void Form_Load();
    void LoadEmployees();
    void LoadCustomers();
    void LoadStatus();
    void LoadCategories();
    void LoadPriorities();
    void LoadKB();
    void LoadData();

    void PushButton2_Click();  // Save
    void PushButton1_Click();  // Cancel

    // The "+" and "-" buttons of the four lookup lists.
    void addLookupValue(const LookupMember& member);
    void deleteLookupValue(const LookupMember& member);

    // The "+", "*" and "-" buttons of the three people lists.
    void addPerson(const PeopleMember& member);
    void editPerson(const PeopleMember& member);
    void deletePerson(const PeopleMember& member);

    QStringList EmployeeIDs;
    QStringList CustomerIDs;

    QLineEdit* Text1 = nullptr;            // Title
    QLineEdit* Text2 = nullptr;            // ID, shown only
    QLineEdit* Text4 = nullptr;            // Resolved Date, typed as text
    MultiLineField* Text3 = nullptr;       // Comments
    QComboBox* Combo1 = nullptr;           // Assigned To
    QComboBox* Combo2 = nullptr;           // Opened By
    QComboBox* Combo3 = nullptr;           // Status
    QComboBox* Combo4 = nullptr;           // Category
    QComboBox* Combo5 = nullptr;           // Priority
    QComboBox* Combo6 = nullptr;           // Customer
    QComboBox* Combo7 = nullptr;           // Knowledge Base
    QDateEdit* DateTimePicker1 = nullptr;  // Opened Date
    QDateEdit* DateTimePicker2 = nullptr;  // Due Date
    // PushButton[n] is PushButtonn; index 0 is unused.
    std::array<QPushButton*, 20> PushButton{};
    std::array<QLabel*, 6> Label1{};
    std::array<QLabel*, 7> lblDetails{};

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void placeControls();
    void connectHandlers();
    void loadLookupList(const LookupMember& member);
    // The start of every "-" button: a selection in the list, then Yes to the question whose
    // first line is given (lines 100 and 102).
    bool deletionConfirmed(ErrorTrap& trap, const QComboBox* list, const char* question);
    // A people list loader: the ID list and the lists rebuilt together, entry by entry, each
    // step on its own numbered line.
    void loadPeopleList(const QString& procedure, const QString& select, const QString& nameColumn,
                        QStringList& ids, std::initializer_list<QComboBox*> lists);
    // Closes the window after a save or a cancel.
    void finish();

    Prompts& m_prompts;
    QString m_programFolder;
    WindowPointer* m_pointer = nullptr;
    bool m_loaded = false;
    bool m_closed = false;
};
