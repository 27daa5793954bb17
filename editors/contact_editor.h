#pragma once

#include <QDialog>
#include <QString>
#include <QVariantList>
#include <array>
#include <optional>

#include "twips.h"

class QGroupBox;
class QLineEdit;
class MultiLineField;
class QPushButton;
class Prompts;
class ReportListView;
class WindowPointer;
struct CaseListMember;
struct ContactRecord;

// What tells the two contact editors apart: the employee editor (Form3) and the customer editor
// (Form5) are one window applied to two tables.
struct ContactKind {
    const char* window;   // the window's name, which the error box's location texts carry
    const char* caption;  // the window's caption
    const char* table;    // the table that its statements name
    double clientWidth;
    double clientHeight;
    double rightFieldWidth;  // lastNameField, companyField, homePhoneField, faxNumberField and
                             // webPageField
    double fullFieldWidth;   // addressField and notesField, the whole width of the fields
    double countryWidth;     // countryField
    Twips::Rect savePlace;   // saveButton
    int cancelButton;        // the number of the Cancel button: PushButton1 or PushButton3
    Twips::Rect cancelPlace;
    bool caseLists;  // the two lists of the employee's open cases beside the fields

    static const ContactKind& employees();
    static const ContactKind& customers();
};

// The editor of one person's contact record: a new person when m_ID is empty, otherwise the row
// of the kind's table whose ID m_ID holds. The employee editor also shows the employee's open
// cases, those opened by and those assigned to the employee.
//
// One window serves one opening. The opener creates it, sets m_ID, runs its load handler and
// shows it modally; when that returns the window has closed, and it hands nothing back:
//
//     ContactEditor editor(ContactKind::employees(), prompts, programFolder, this);
//     editor.m_ID = id;  // the empty text for a new person
//     editor.load();
//     prompts.showModal(editor);
//
// Save closes the window with accept() once the row is written; Cancel and the title bar close
// it with reject() and write nothing. A save that the database refuses, or an update of a row
// that no longer exists, keeps the window open with everything that was typed.
class ContactEditor : public QDialog {
public:
    ContactEditor(const ContactKind& kind, Prompts& prompts, const QString& programFolder,
                  QWidget* parent = nullptr);
    ~ContactEditor() override;

    // The ID of the person to edit as decimal text, or the empty text for a new person. Read at
    // load and at save, never changed by the window.
    QString m_ID;

    // Runs the window's load handler: the case lists' columns, then the record and the lists.
    void load();

    // The text of field 1 to 16 (firstNameField ... notesField), as it would be written.
    QString fieldText(int number) const;
    void setFieldText(int number, const QString& text);
    QWidget* field(int number) const;

    // True once the window has closed itself, by Save, Cancel or the title bar.
    bool hasClosed() const { return m_closed; }
    void done(int result) override;

private:
    void createControls();
    void placeControls();
    void connectHandlers();

    void loadContact();
    // The employee editor's case lists; they do nothing in the customer editor.
    void loadOpenedCases();
    void loadAssignedCases();

    void save();    // Save
    void cancel();  // Cancel: PushButton1_Click (Form3) or PushButton3_Click (Form5)

    // The controls; their designer names (Text1 ... Text16, PushButton2) stand in
    // placeControls' table, the cancel button's and the case lists' in their designs.
    QLineEdit* firstNameField = nullptr;
    QLineEdit* lastNameField = nullptr;
    QLineEdit* jobTitleField = nullptr;
    QLineEdit* companyField = nullptr;
    QLineEdit* businessPhoneField = nullptr;
    QLineEdit* homePhoneField = nullptr;
    QLineEdit* mobilePhoneField = nullptr;
    QLineEdit* faxNumberField = nullptr;
    QLineEdit* addressField = nullptr;
    QLineEdit* cityField = nullptr;
    QLineEdit* stateField = nullptr;
    QLineEdit* zipField = nullptr;
    QLineEdit* countryField = nullptr;
    QLineEdit* emailField = nullptr;
    QLineEdit* webPageField = nullptr;
    MultiLineField* notesField = nullptr;
    QPushButton* saveButton = nullptr;
    QPushButton* cancelButton = nullptr;
    // The employee editor only; null in the customer editor.
    QGroupBox* openedCasesFrame = nullptr;
    ReportListView* openedCasesList = nullptr;
    QGroupBox* assignedCasesFrame = nullptr;
    ReportListView* assignedCasesList = nullptr;

    void loadCaseList(const CaseListMember& member, ReportListView* list);
    ContactRecord record() const;
    QString window() const;

    const ContactKind& m_kind;
    Prompts& m_prompts;
    QString m_programFolder;
    WindowPointer* m_pointer = nullptr;
    std::array<QLineEdit*, 15> m_lines{};  // firstNameField ... webPageField
    // The row as loadContact read it (nothing when it read none), and later the version the user
    // agreed to save over.
    std::optional<QVariantList> m_loadedRow;
    bool m_closed = false;
};
