#pragma once

#include <QRect>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

#include "case_finder.h"
#include "live_case_list.h"
#include "waiting_window.h"

class FindBar;
class QAction;
class QPushButton;
class QSettings;
class QShortcut;
class QTimer;
class ChangeFeed;
class Prompts;
struct MainLayout;
class ReportListView;
class WindowPointer;

// The case list's twelve columns, by their position in the list.
namespace CaseColumn {
enum : int {
    Id,
    Title,
    Customer,
    AssignedTo,
    Priority,
    Status,
    Category,
    DueDate,
    OpenedDate,
    KnowledgeBase,
    ResolvedTime,
    OpenedBy,
    Count
};
}  // namespace CaseColumn

// The main window: the list of every case, the six command buttons, start-up and shut-down.
// Around the designed window: the find field under the list (Ctrl+F, "/"), overdue cases drawn
// in a colour of their own, the list exported as CSV (Ctrl+E, the list's context menu), and
// keys for the commands (Return, Delete, Ctrl+N, Ctrl+P, F5), help (F1), a case's history
// (Ctrl+H) and deletions undone (Ctrl+Z, Ctrl+Shift+H).
class MainWindow : public QWidget {
public:
    static constexpr int kColumnCount = CaseColumn::Count;

    // programFolder: where dbBlank.mdb, HAND-M.CUR, the icon and the skin stand.
    MainWindow(Prompts& prompts, QSettings& settings, const QString& programFolder,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // Start-up: data folder and database, skin, cursor, runtime check, caption, connection,
    // columns with their stored widths, the cases, the stored window state.
    void load();
    // Closing: column widths and window state saved, the connection closed and released.
    void shutDown();
    // Ends the program at once.
    void endProgram();

    // Refills the case list from [Cases Extended] and selects the case selected before, or the
    // first row. No trap: the caller's trap reports failures.
    void loadCases();
    // Reloads the list where it stands: the selected case, the sort and the scroll position
    // stay. No trap: the caller reports failures.
    void refreshCases();
    // Sorts the list on a click of the header of column `column` (1 = "ID").
    void sortByColumn(int column);

    // Lays the list and the buttons out for a maximized window, and back to the designed layout
    // (centred on the screen) when it is normal again after a maximized layout.
    void applyWindowLayout();

    bool layoutChanged() const { return m_layoutChanged; }
    // True when start-up ended the program (after a repair of the database library).
    bool programEnded() const { return m_programEnded; }
    // "0" normal, "1" minimized, "2" maximized.
    int windowStateCode() const;

    // What endProgram does to end the program; tests replace it.
    void setProgramEnd(std::function<void()> end) { m_endProgram = std::move(end); }
    // The check that the database library works; tests make it fail.
    void setLibraryCheck(std::function<bool()> check) { m_libraryCheck = std::move(check); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void createControls();
    void placeControls();
    void connectHandlers();

    void addCase();          // Add New Case
    void editCase();         // Edit Selected Case
    void deleteCase();       // Delete Selected Case
    void loadSampleData();   // Load Sample/Example Data
    void showReports();      // Show Reports
    void showContactPage();  // Help
    // Every second: other people's committed changes reach the list, unless a window stands
    // over it.
    void reloadWhenChanged();
    // F5: the list reloads at once.
    void reloadNow();
    // Ctrl+F, "/": the find field shows; Escape hides it and the list shows every case again.
    void openFind();
    void closeFind();
    // Each change of the find field's text filters the list anew.
    void findChanged();
    // Ctrl+E, the list's context menu: the shown rows written to a CSV file the user picks.
    void exportList();
    // F1, the list's context menu: the keys, the find words, where the data lives.
    void showHelp();
    // Ctrl+H, "History…": the selected case's changes.
    void showHistory();
    // Ctrl+Z: the newest deletion made from this desktop since the program started comes back,
    // after a question.
    void undoDeletion();
    // Ctrl+Shift+H, "Deleted cases…": anyone's deletions, one of which may be restored.
    void showDeletions();
    void restoreDeletion(qint64 command);
    QAction* addListAction(const QString& text, const QKeySequence& key, const char* name,
                           void (MainWindow::*handler)());

    ReportListView* caseList = nullptr;
    QPushButton* editButton = nullptr;        // "Edit Selected Case"
    QPushButton* addButton = nullptr;         // "Add New Case"
    QPushButton* deleteButton = nullptr;      // "Delete Selected Case"
    QPushButton* sampleDataButton = nullptr;  // "Load Sample/Example Data"
    QPushButton* reportsButton = nullptr;     // "Show Reports"
    QPushButton* helpButton = nullptr;        // "Help"
    QTimer* refreshTimer = nullptr;           // follows other people's changes
    FindBar* m_findBar = nullptr;             // hidden until Ctrl+F
    QAction* m_exportAction = nullptr;        // "Export the list as CSV…"
    QAction* m_helpAction = nullptr;          // "Keyboard shortcuts and find words", F1
    QShortcut* m_closeFind = nullptr;         // Escape, while the find field shows

    // Runs a start-up step that reaches for the database. Its failure is kept for the empty
    // list's notice, and the first such failure is told with its cause and remedy in plain words.
    void reachDatabase(const std::function<void()>& step);
    static bool databaseOpen();
    // Before a command that needs the database: true when it is open, or opens now. Otherwise
    // the user is told once why, instead of once for every step of the command.
    bool databaseAtHand();
    // A database opened after start-up failed to: the list's notice goes, and the cases fill it.
    void fillOpenedDatabase();
    void checkDatabaseLibrary();
    void fillCaseList();
    // Applies other people's changes, as the change log tells them, to the rows they touched;
    // everything is read again only when the log cannot tell.
    void followChanges(ChangeFeed& feed);
    void setColumnWidthFromSetting(int column, const QString& defaultWidth);
    void saveColumnWidth(int column);
    void setWindowStateCode(int code);
    void applyLayout(const MainLayout& layout);
    // The list takes its place, less the find field's height at its bottom while that shows.
    void placeFindBar();
    // Applies the find field's words to the list, keeping the selected case when it stays.
    void applyFind();
    void selectCase(const QString& id);
    QString selectedCaseId() const;
    void showFindCount();
    // Moves the window so that its outer frame stands in the middle of its screen.
    void centreOnScreen();
    // The list's smallest height in twips: its header and one row.
    double smallestListHeight() const;

    Prompts& m_prompts;
    CaseFinder m_finder;
    std::unique_ptr<LiveCaseList> m_live;
    QRect m_listPlace;  // the list's place by the layout, find field included
    QSettings& m_settings;
    QString m_programFolder;
    WindowPointer* m_pointer = nullptr;
    bool m_layoutChanged = false;
    bool m_programEnded = false;
    bool m_shown = false;
    // Without a connection, on a server: opens it again from the timer, without a box.
    void reconnectQuietly();
    // The title says while the list cannot follow the others' changes; failures back off.
    void showListCurrent(bool current);

    WaitingWindow m_waiting;  // the program's waiter for its server
    int m_ticksToSkip = 0;
    int m_failedTicks = 0;
    bool m_titleMarked = false;
    // A change of others waits for a reload that succeeds; its failure is reported once.
    bool m_refreshPending = false;
    bool m_refreshFailureReported = false;
    // Why the database did not open, and whether the user was told its cause in plain words.
    QString m_databaseFailure;
    bool m_databaseExplained = false;
    std::function<void()> m_endProgram;
    std::function<bool()> m_libraryCheck;
    // The widths read at start-up, so that a width the user did not change is written back as
    // it was read, without a round trip through whole pixels.
    std::array<double, kColumnCount> m_readWidthTwips{};
    std::array<int, kColumnCount> m_readWidthPixels{};
};
