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
    double rightFieldWidth;  // Text2, Text4, Text6, Text8 and Text15
    double fullFieldWidth;   // Text9 and Text16, the whole width of the fields
    double countryWidth;     // Text13
    Twips::Rect savePlace;   // PushButton2
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
//     editor.Form_Load();
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
    void Form_Load();

    // The text of field 1 to 16 (Text1 ... Text16), as it would be written.
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

    void LoadData();
    // The employee editor's case lists; they do nothing in the customer editor.
    void LoadOpenedCases();
    void LoadAssignedCases();

    void PushButton2_Click();  // Save
    void cancelClick();        // Cancel: PushButton1_Click (Form3) or PushButton3_Click (Form5)

    QLineEdit* Text1 = nullptr;           // First Name
    QLineEdit* Text2 = nullptr;           // Last Name
    QLineEdit* Text3 = nullptr;           // Job Title
    QLineEdit* Text4 = nullptr;           // Company
    QLineEdit* Text5 = nullptr;           // Business Phone
    QLineEdit* Text6 = nullptr;           // Home Phone
    QLineEdit* Text7 = nullptr;           // Mobile Phone
    QLineEdit* Text8 = nullptr;           // Fax Number
    QLineEdit* Text9 = nullptr;           // Address
    QLineEdit* Text10 = nullptr;          // City
    QLineEdit* Text11 = nullptr;          // State
    QLineEdit* Text12 = nullptr;          // Postal Code (ZIP)
    QLineEdit* Text13 = nullptr;          // Country
    QLineEdit* Text14 = nullptr;          // Email Address
    QLineEdit* Text15 = nullptr;          // Webpage
    MultiLineField* Text16 = nullptr;     // Notes
    QPushButton* PushButton2 = nullptr;   // Save
    QPushButton* CancelButton = nullptr;  // PushButton1 (Form3) or PushButton3 (Form5)
    // The employee editor only; null in the customer editor.
    QGroupBox* Frame1 = nullptr;          // "Opened Cases"
    ReportListView* ListView1 = nullptr;  // the open cases the employee opened
    QGroupBox* Frame2 = nullptr;          // "Assigned Cases"
    ReportListView* ListView2 = nullptr;  // the open cases assigned to the employee

    void loadCaseList(const CaseListMember& member, ReportListView* list);
    ContactRecord record() const;
    QString window() const;

    const ContactKind& m_kind;
    Prompts& m_prompts;
    QString m_programFolder;
    WindowPointer* m_pointer = nullptr;
    std::array<QLineEdit*, 15> m_lines{};  // Text1 ... Text15
    // The row as LoadData read it (nothing when it read none), and later the version the user
    // agreed to save over.
    std::optional<QVariantList> m_loadedRow;
    bool m_closed = false;
};
