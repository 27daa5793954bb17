#include "main_window.h"

#include <QAction>
#include <QApplication>
#include <QBrush>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QIcon>
#include <QLineEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QShortcut>
#include <QShowEvent>
#include <QStandardPaths>
#include <QTimer>
#include <optional>

#include "case_editor.h"
#include "case_statements.h"
#include "case_store.h"
#include "change_feed.h"
#include "control_places.h"
#include "csv_export.h"
#include "data_paths.h"
#include "database_access.h"
#include "database_file.h"
#include "deleted_cases_window.h"
#include "deletion_restore.h"
#include "error_trap.h"
#include "find_bar.h"
#include "fonts.h"
#include "globals.h"
#include "help_window.h"
#include "history_window.h"
#include "large_blocks.h"
#include "library_check.h"
#include "main_layout.h"
#include "main_module.h"
#include "number_text.h"
#include "overdue.h"
#include "prompts.h"
#include "report_chooser.h"
#include "report_list.h"
#include "runtime_check.h"
#include "sample_data.h"
#include "screen_reader.h"
#include "server_wait.h"
#include "twips.h"
#include "window_dressing.h"
#include "window_pointer.h"

namespace {

const QString kWindow = QStringLiteral("Form1");
const QString kSettingsGroup = QStringLiteral("Helvarine");
// The makers' contact page, which Help opens.
const QString kContactPage = QStringLiteral("https://www.orvanta.example/contact/");

// The designed client area and the places of the controls, in twips.
constexpr double kClientWidth = 12000;
constexpr double kClientHeight = 6705;

// The twelve columns: header text, the field of [Cases Extended] shown in it, by the exact name
// it is asked for (letter case does not matter), how a header click sorts it, and the line of
// load that adds it.
using SortKind = ReportListModel::SortKind;
struct ColumnDesign {
    const char* header;
    const char* field;
    SortKind sortKind;
    int addLine;
};
const std::array<ColumnDesign, MainWindow::kColumnCount> kColumns{{
    {"ID", "ID", SortKind::Number, 146},
    {"Title", "Title", SortKind::Text, 148},
    {"Customer", "Customer Name", SortKind::Text, 150},
    {"Assigned To", "Assigned to Name", SortKind::Text, 152},
    {"Priority", "Priority", SortKind::Text, 154},
    {"Status", "Status", SortKind::Text, 156},
    {"Category", "Category", SortKind::Text, 158},
    {"Due Date", "Due Date", SortKind::Date, 160},
    {"Opened Date", "Opened Date", SortKind::Date, 162},
    {"KB", "Knowledge Base", SortKind::Text, 164},
    {"Resolved Time", "Resolved Date", SortKind::Date, 166},
    {"Opened By", "Opened by Name", SortKind::Text, 168},
}};

// The fields of [Cases Extended] the list shows, column by column.
QStringList shownFields() {
    QStringList fields;
    for (const ColumnDesign& design : kColumns) {
        fields.append(QString::fromLatin1(design.field));
    }
    return fields;
}

// The change log's newest revision, read before the rows: a change committed in between is read
// with the rows and then once more from the log, which does no harm; none is missed. Nothing when
// the log cannot be followed.
std::optional<qint64> revisionBeforeReading() {
    ChangeFeed feed(CaseStore::shared());
    if (!feed.available()) {
        return std::nullopt;
    }
    return feed.newestRevision();
}

// The listed cases, of which the engine reads only the columns the list shows, and reads the next
// rows while the list takes the last ones (RecordSet::Reading::Ahead).
RecordSet openCaseReader() {
    RecordSet cases;
    cases.open(CaseStatements::listed(), CaseStore::shared(), RecordSet::Lock::None,
               RecordSet::Reading::Ahead, shownFields());
    return cases;
}

// Takes the cases up to their end into the list, each text numbered among its column's shared
// texts (see TextColumn), and tells by row handle which cases are overdue.
void takeCases(RecordSet& cases, ReportListModel& rows, std::vector<bool>& overdueRows) {
    const QStringList shown = shownFields();
    Overdue::Check overdue(QDate::currentDate());
    // The columns are looked up by name once, when the first row is read.
    std::array<int, MainWindow::kColumnCount> fields{};
    bool fieldsKnown = false;
    while (!cases.eof()) {
        if (!fieldsKnown) {
            for (size_t i = 0; i < fields.size(); ++i) {
                fields[i] = cases.column(shown[static_cast<qsizetype>(i)]);
            }
            fieldsKnown = true;
        }
        const int row = rows.addNumberedRow([&](size_t column, TextInterner* shared) {
            return column < fields.size() ? cases.numberedText(fields[column], shared)
                                          : RecordSet::NumberedText{};
        });
        overdueRows.push_back(overdue(rows.columnTexts(CaseColumn::DueDate).text(row),
                                      rows.columnTexts(CaseColumn::ResolvedTime).text(row)));
        cases.moveNext();
    }
    cases.close();
}

// How often the list asks whether other people changed the cases: their changes show within
// two seconds.
constexpr int kFollowIntervalMs = 1000;

// How long a background read of the live list may hear nothing from the server before it gives
// up until a later tick.
constexpr std::chrono::milliseconds kBackgroundSilence{1000};

// Widths beyond this many twips (over 40 inches) are no width a list column can take.
constexpr float kLargestColumnWidth = 57600;

QString settingKey(const QString& key) {
    return kSettingsGroup + QLatin1Char('/') + key;
}

QString columnKey(int column) {
    return QStringLiteral("ColumnHeaders") + QString::number(column);
}

}  // namespace

MainWindow::MainWindow(Prompts& prompts, QSettings& settings, const QString& programFolder,
                       QWidget* parent)
    : QWidget(parent),
      m_prompts(prompts),
      m_settings(settings),
      m_programFolder(programFolder),
      m_endProgram([] { QCoreApplication::exit(0); }),
      m_libraryCheck(&LibraryCheck::databaseLibraryWorks) {
    setObjectName(kWindow);
    createControls();
    placeControls();
    connectHandlers();
    m_live = std::make_unique<LiveCaseList>(caseList->rows(), m_finder, shownFields(),
                                            CaseColumn::DueDate, CaseColumn::ResolvedTime);
}

MainWindow::~MainWindow() = default;

void MainWindow::createControls() {
    setFont(Fonts::window());
    m_pointer = new WindowPointer(this);
    caseList = new ReportListView(this);
    caseList->setAccessibleName(QStringLiteral("Cases"));
    m_findBar = new FindBar(this);
    addListAction(QStringLiteral("History\u2026"), QKeySequence(Qt::CTRL | Qt::Key_H),
                  "HistoryAction", &MainWindow::showHistory);
    addListAction(QStringLiteral("Deleted cases\u2026"),
                  QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_H), "DeletedCasesAction",
                  &MainWindow::showDeletions);
    addListAction(QStringLiteral("Undo the last deletion"), QKeySequence(Qt::CTRL | Qt::Key_Z),
                  "UndoDeletionAction", &MainWindow::undoDeletion);
    m_exportAction =
        addListAction(QStringLiteral("Export the list as CSV\u2026"),
                      QKeySequence(Qt::CTRL | Qt::Key_E), "ExportAction", &MainWindow::exportList);
    m_helpAction = addListAction(QStringLiteral("Keyboard shortcuts and find words"),
                                 QKeySequence(Qt::Key_F1), "HelpAction", &MainWindow::showHelp);
    caseList->setContextMenuPolicy(Qt::ActionsContextMenu);
    editButton = ControlPlaces::pushButton(this, 1, QStringLiteral("Edit Selected Case"));
    addButton = ControlPlaces::pushButton(this, 2, QStringLiteral("Add New Case"));
    deleteButton = ControlPlaces::pushButton(this, 3, QStringLiteral("Delete Selected Case"));
    sampleDataButton =
        ControlPlaces::pushButton(this, 4, QStringLiteral("Load Sample/Example Data"));
    reportsButton = ControlPlaces::pushButton(this, 5, QStringLiteral("Show Reports"));
    helpButton = ControlPlaces::pushButton(this, 6, QStringLiteral("Help"));
    for (QPushButton* button :
         {editButton, addButton, deleteButton, sampleDataButton, reportsButton, helpButton}) {
        m_pointer->showCustomOver(button);
    }
    refreshTimer = new QTimer(this);
    refreshTimer->setObjectName(QStringLiteral("Timer1"));  // the designer's name; it has no place
    refreshTimer->setInterval(kFollowIntervalMs);
    ScreenReader::announceAsWindow(this);
    ScreenReader::nameInnerParts(this);
}

void MainWindow::placeControls() {
    Twips::resizeClientArea(this, kClientWidth, kClientHeight);
    applyLayout(MainLayout::designed());
}

void MainWindow::connectHandlers() {
    connect(caseList, &ReportListView::columnClicked, this,
            [this](int section) { sortByColumn(section + 1); });
    connect(addButton, &QPushButton::clicked, this, [this] { addCase(); });
    connect(editButton, &QPushButton::clicked, this, [this] { editCase(); });
    connect(deleteButton, &QPushButton::clicked, this, [this] { deleteCase(); });
    connect(sampleDataButton, &QPushButton::clicked, this, [this] { loadSampleData(); });
    connect(reportsButton, &QPushButton::clicked, this, [this] { showReports(); });
    connect(helpButton, &QPushButton::clicked, this, [this] { showContactPage(); });
    m_pointer->showDefaultOver(caseList->viewport());
    m_pointer->showDefaultOver(caseList->header()->viewport());
    connect(refreshTimer, &QTimer::timeout, this, [this] { reloadWhenChanged(); });
    auto* reload = new QShortcut(QKeySequence(Qt::Key_F5), this);
    reload->setObjectName(QStringLiteral("ReloadShortcut"));
    connect(reload, &QShortcut::activated, this, [this] { reloadNow(); });

    // The commands from the keyboard, each the same as its button. Return and Delete act on the
    // list's row, so they work while the list has the focus.
    const auto key = [this](const QKeySequence& sequence, QWidget* owner,
                            Qt::ShortcutContext context, const std::function<void()>& action) {
        auto* shortcut = new QShortcut(sequence, owner);
        shortcut->setContext(context);
        connect(shortcut, &QShortcut::activated, this, action);
        return shortcut;
    };
    key(QKeySequence(Qt::CTRL | Qt::Key_N), this, Qt::WindowShortcut,
        [this] { addButton->click(); });
    key(QKeySequence(Qt::CTRL | Qt::Key_P), this, Qt::WindowShortcut,
        [this] { reportsButton->click(); });
    for (const Qt::Key enter : {Qt::Key_Return, Qt::Key_Enter}) {
        key(QKeySequence(enter), caseList, Qt::WidgetShortcut, [this] { editButton->click(); });
    }
    key(QKeySequence(Qt::Key_Delete), caseList, Qt::WidgetShortcut,
        [this] { deleteButton->click(); });
    connect(caseList, &QAbstractItemView::doubleClicked, this, [this] { editButton->click(); });

    key(QKeySequence(Qt::CTRL | Qt::Key_F), this, Qt::WindowShortcut, [this] { openFind(); });
    key(QKeySequence(Qt::Key_Slash), caseList, Qt::WidgetShortcut, [this] { openFind(); });
    m_closeFind =
        key(QKeySequence(Qt::Key_Escape), this, Qt::WindowShortcut, [this] { closeFind(); });
    m_closeFind->setEnabled(false);
    connect(m_findBar->field(), &QLineEdit::textChanged, this, [this] { findChanged(); });
    // Return in the find field goes on to the found cases.
    connect(m_findBar->field(), &QLineEdit::returnPressed, this,
            [this] { caseList->setFocus(Qt::ShortcutFocusReason); });

    // Overdue cases: their text in the overdue colour, their due date saying since when.
    caseList->rows().setRoleData([this](int row, const QModelIndex& index, int role) {
        if (!m_finder.overdue(row)) {
            return QVariant();
        }
        if (role == Qt::ForegroundRole) {
            return QVariant(QBrush(Overdue::colour(caseList->palette())));
        }
        if (role == Qt::ToolTipRole && index.column() == CaseColumn::DueDate) {
            return QVariant(Overdue::toolTip(index.data().toString()));
        }
        return QVariant();
    });
}

void MainWindow::load() {
    ErrorTrap trap{m_prompts, kWindow, QStringLiteral("Form_Load")};
    // A team's server needs no local folder or file: the first three steps find nothing to do.
    const bool onServer = DataPaths::onServer();
    if (trap.trueOrFailed(
            100, [&] { return !onServer && !QFileInfo(DataPaths::makerFolder()).exists(); })) {
        trap.at(102, [this] {
            reachDatabase([] {
                DatabaseFile::createFolder(DataPaths::makerFolder(),
                                           DatabaseFile::Access::EveryoneReads);
            });
        });
    }
    if (trap.trueOrFailed(
            104, [&] { return !onServer && !QFileInfo(DataPaths::productFolder()).exists(); })) {
        trap.at(106, [this] {
            reachDatabase([] {
                DatabaseFile::createFolder(DataPaths::productFolder(),
                                           DatabaseFile::Access::GroupShares);
            });
        });
    }
    if (trap.trueOrFailed(
            108, [&] { return !onServer && !Globals::FileExists(DataPaths::databaseFile()); })) {
        trap.at(110, [this] {
            reachDatabase([this] {
                DatabaseFile::copyTemplate(DataPaths::templateFile(m_programFolder),
                                           DataPaths::databaseFile());
            });
        });
    }
    trap.at(112, [this] { MainModule::ApplySkin(this, m_programFolder); });
    const QString cursorFile = WindowDressing::cursorFile(m_programFolder);
    if (trap.trueOrFailed(114, [&] { return Globals::FileExists(cursorFile); })) {
        trap.at(116, [&] { m_pointer->loadCustomPicture(cursorFile); });
    }
    trap.at(138, [this] { checkDatabaseLibrary(); });
    if (m_programEnded) {
        return;  // stopped after a repair: no further start-up step
    }
    trap.at(140, [this] {
        setWindowTitle(QStringLiteral("Helvarine"));
        setWindowIcon(QIcon(WindowDressing::iconFile(m_programFolder)));
        m_prompts.setApplicationTitle(MainModule::ShortenAppTitle());
    });
    trap.at(142, [] { CaseStore::createShared(); });
    trap.at(144, [this] {
        reachDatabase([] { CaseStore::shared().open(DataPaths::connectionText()); });
    });
    for (const ColumnDesign& design : kColumns) {
        trap.at(design.addLine, [&] {
            caseList->rows().addColumn(QString::fromLatin1(design.header), design.sortKind);
        });
    }
    trap.at(170, [this] { setColumnWidthFromSetting(1, QStringLiteral("1200")); });
    int columns = 0;
    trap.at(172, [&] { columns = caseList->rows().columnCount(); });
    for (int column = 2; column <= columns; ++column) {
        trap.at(174, [&] { setColumnWidthFromSetting(column, QStringLiteral("1500")); });
        trap.at(176, [] {});
    }
    trap.at(178, [this] {
        // What the list is about to show is where following other people's changes starts.
        CaseStore::shared().changedElsewhere();
        loadCases();
    });
    refreshTimer->start();
    if (!databaseOpen()) {
        caseList->setEmptyText(DatabaseAccess::notOpenNotice(m_databaseFailure));
    } else if (const QString upgrade = CaseStore::shared().upgradeNeeded(); !upgrade.isEmpty()) {
        m_prompts.message(upgrade, Prompts::Buttons::Ok, Prompts::Icon::Warning);
    }
    if (const QString exposed = DatabaseAccess::exposedPasswordWarning(); !exposed.isEmpty()) {
        m_prompts.message(exposed, Prompts::Buttons::Ok, Prompts::Icon::Warning);
    }
    trap.at(180, [this] {
        const QString stored =
            m_settings.value(settingKey(QStringLiteral("WindowState")), QStringLiteral("0"))
                .toString();
        setWindowStateCode(NumberText::toInteger16(stored));
    });
    if (trap.trueOrFailed(182, [this] { return windowStateCode() == 0; })) {
        trap.at(184, [this] { m_layoutChanged = false; });
    } else {
        trap.at(186, [this] { m_layoutChanged = true; });
    }
}

void MainWindow::reachDatabase(const std::function<void()>& step) {
    try {
        step();
    } catch (const Failure& failure) {
        m_databaseFailure = failure.description();
        const QString why =
            m_databaseExplained ? QString() : DatabaseAccess::explanation(m_databaseFailure);
        if (why.isEmpty()) {
            throw;
        }
        m_databaseExplained = true;
        throw Failure(m_databaseFailure + QStringLiteral("\n\n") + why);
    }
}

bool MainWindow::databaseOpen() {
    return CaseStore::hasShared() && CaseStore::shared().state() != 0;
}

bool MainWindow::databaseAtHand() {
    if (databaseOpen()) {
        return true;
    }
    // Whatever kept the database from opening may have been mended since: it is tried again.
    try {
        if (!CaseStore::hasShared()) {
            CaseStore::createShared();
        }
        if (!DataPaths::onServer() && !Globals::FileExists(DataPaths::databaseFile()) &&
            QFileInfo(DataPaths::productFolder()).isDir()) {
            DatabaseFile::copyTemplate(DataPaths::templateFile(m_programFolder),
                                       DataPaths::databaseFile());
        }
        CaseStore::shared().open(DataPaths::connectionText());
    } catch (const Failure& failure) {
        m_databaseFailure = failure.description();
        caseList->setEmptyText(DatabaseAccess::notOpenNotice(m_databaseFailure));
        m_prompts.message(DatabaseAccess::notOpenMessage(m_databaseFailure), Prompts::Buttons::Ok,
                          Prompts::Icon::Warning);
        return false;
    }
    fillOpenedDatabase();
    return true;
}

void MainWindow::fillOpenedDatabase() {
    caseList->setEmptyText({});
    untrapped(m_prompts, kWindow, QStringLiteral("LoadCases"), [this] {
        CaseStore::shared().changedElsewhere();
        loadCases();
    });
}

void MainWindow::checkDatabaseLibrary() {
    RuntimeCheck check(m_prompts, m_programFolder, m_libraryCheck);
    if (check.repairEndsProgram()) {
        m_programEnded = true;
        m_endProgram();
    }
}

void MainWindow::setColumnWidthFromSetting(int column, const QString& defaultWidth) {
    const QString stored = m_settings.value(settingKey(columnKey(column)), defaultWidth).toString();
    const float twips = NumberText::toSingle(stored);
    if (twips < 0 || twips > kLargestColumnWidth) {
        throw Failure(QStringLiteral("Invalid property value: %1 is no column width (%2).")
                          .arg(stored, columnKey(column)));
    }
    if (column < 1 || column > caseList->rows().columnCount()) {
        throw Failure(QStringLiteral("Index out of bounds: there is no column %1.").arg(column));
    }
    caseList->setColumnWidthTwips(column - 1, twips);
    if (column <= kColumnCount) {
        m_readWidthTwips[static_cast<size_t>(column - 1)] = twips;
        m_readWidthPixels[static_cast<size_t>(column - 1)] =
            caseList->header()->sectionSize(column - 1);
    }
}

void MainWindow::saveColumnWidth(int column) {
    const int index = column - 1;
    double twips = caseList->columnWidthTwips(index);
    if (column <= kColumnCount &&
        caseList->header()->sectionSize(index) == m_readWidthPixels[static_cast<size_t>(index)] &&
        m_readWidthPixels[static_cast<size_t>(index)] > 0) {
        twips = m_readWidthTwips[static_cast<size_t>(index)];
    }
    m_settings.setValue(settingKey(columnKey(column)), QString::number(twips));
}

int MainWindow::windowStateCode() const {
    const Qt::WindowStates state = windowState();
    if (state & Qt::WindowMinimized) {
        return 1;
    }
    if (state & Qt::WindowMaximized) {
        return 2;
    }
    return 0;
}

void MainWindow::setWindowStateCode(int code) {
    switch (code) {
        case 0:
            setWindowState(Qt::WindowNoState);
            break;
        case 1:
            setWindowState(Qt::WindowMinimized);
            break;
        case 2:
            setWindowState(Qt::WindowMaximized);
            break;
        default:
            throw Failure(
                QStringLiteral("Invalid property value: %1 is no window state.").arg(code));
    }
}

void MainWindow::loadCases() {
    // The selected case stays selected when it is still listed; otherwise the first row is, so
    // that Edit and Delete always have a case to act on.
    const QString selectedId = selectedCaseId();
    fillCaseList();
    selectCase(selectedId);
    showFindCount();
}

QString MainWindow::selectedCaseId() const {
    const int selected = caseList->selectedPosition();
    return selected >= 0 ? caseList->rows().text(selected, CaseColumn::Id) : QString();
}

void MainWindow::selectCase(const QString& id) {
    const int position = id.isEmpty() ? -1 : caseList->positionOfText(id);
    caseList->selectPosition(position >= 0 ? position : 0);
}

void MainWindow::openFind() {
    m_closeFind->setEnabled(true);
    m_findBar->open();
    placeFindBar();
    showFindCount();
}

void MainWindow::closeFind() {
    m_closeFind->setEnabled(false);
    const bool listHadNoFocus = !caseList->hasFocus();
    m_findBar->close();  // the emptied field shows every case again
    placeFindBar();
    if (listHadNoFocus) {
        caseList->setFocus(Qt::ShortcutFocusReason);
    }
}

void MainWindow::findChanged() {
    untrapped(m_prompts, kWindow, QStringLiteral("FindField_Change"), [this] { applyFind(); });
}

void MainWindow::applyFind() {
    // The rows stay the same: the selected case is found again by its row, not by its ID.
    ReportListModel& rows = caseList->rows();
    const int selectedRow = rows.rowAt(caseList->selectedPosition());
    m_finder.setQuery(m_findBar->field()->text());
    if (m_finder.active()) {
        m_finder.waitForIndex();
        rows.setFilter([this](int row) { return m_finder.accepts(row); });
    } else {
        rows.setFilter({});
    }
    const int position = rows.positionOf(selectedRow);
    caseList->selectPosition(position >= 0 ? position : 0);
    showFindCount();
}

void MainWindow::showFindCount() {
    m_findBar->showCount(caseList->rows().count(), caseList->rows().storedCount());
}

void MainWindow::exportList() {
    untrapped(m_prompts, kWindow, QStringLiteral("ExportList"), [this] {
        // The documents folder, or the home folder of an account that has none.
        QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
            folder = QDir::homePath();
        }
        const QString path =
            m_prompts.saveFileName(QStringLiteral("Export the list as CSV"),
                                   QDir(folder).filePath(QStringLiteral("cases.csv")),
                                   QStringLiteral("CSV files (*.csv);;All files (*)"));
        if (path.isEmpty()) {
            return;  // cancelled
        }
        CsvExport::write(caseList->rows(), path);
        const int written = caseList->rows().count();
        m_prompts.inform(
            QStringLiteral("%1 %2 written to %3")
                .arg(written)
                .arg(written == 1 ? QStringLiteral("case was") : QStringLiteral("cases were"),
                     QDir::toNativeSeparators(path)));
    });
}

void MainWindow::showHelp() {
    untrapped(m_prompts, kWindow, QStringLiteral("ShowHelp"), [this] {
        HelpWindow help(this);
        m_prompts.showModal(help);
    });
}

QAction* MainWindow::addListAction(const QString& text, const QKeySequence& key, const char* name,
                                   void (MainWindow::*handler)()) {
    auto* action = new QAction(text, caseList);
    action->setObjectName(QLatin1String(name));
    action->setShortcut(key);
    action->setShortcutContext(Qt::WindowShortcut);
    caseList->addAction(action);
    connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    return action;
}

void MainWindow::showHistory() {
    const QString id = selectedCaseId();
    if (id.isEmpty() || !databaseAtHand()) {
        return;
    }
    untrapped(m_prompts, kWindow, QStringLiteral("ShowHistory"),
              [&] { HistoryWindow::show(m_prompts, id.toLongLong(), this); });
}

void MainWindow::undoDeletion() {
    if (!databaseAtHand()) {
        return;
    }
    const std::vector<qint64>& own = CaseStore::shared().ownDeletions();
    if (own.empty()) {
        m_prompts.inform(QStringLiteral(
            "There is nothing to undo: no deletion was made from this desktop since Helvarine "
            "started. \"Deleted cases\u2026\" lists everyone's deletions."));
        return;
    }
    restoreDeletion(own.back());
}

void MainWindow::showDeletions() {
    if (!databaseAtHand()) {
        return;
    }
    untrapped(m_prompts, kWindow, QStringLiteral("ShowDeletions"), [this] {
        DeletedCasesWindow window(Deletions::list(CaseStore::shared()), this);
        m_prompts.showModal(window);
        if (window.chosenCommand() != 0) {
            restoreDeletion(window.chosenCommand());
        }
    });
}

void MainWindow::restoreDeletion(qint64 command) {
    untrapped(m_prompts, kWindow, QStringLiteral("RestoreDeletion"), [&] {
        CaseStore& store = CaseStore::shared();
        std::optional<Deletion> deletion = Deletions::read(store, command);
        if (!deletion) {
            store.forgetDeletion(command);
            m_prompts.message(QStringLiteral("This deletion is no longer in the history of "
                                             "changes, so it cannot be restored."),
                              Prompts::Buttons::Ok, Prompts::Icon::Warning);
            return;
        }
        DeletionRestore restore(store, std::move(*deletion));
        if (const QString inTheWay = restore.obstacle(); !inTheWay.isEmpty()) {
            m_prompts.message(inTheWay, Prompts::Buttons::Ok, Prompts::Icon::Warning);
            return;
        }
        if (!m_prompts.confirm(restore.question())) {
            return;
        }
        if (const QString inTheWay = restore.run(); !inTheWay.isEmpty()) {
            m_prompts.message(inTheWay, Prompts::Buttons::Ok, Prompts::Icon::Warning);
            return;
        }
        loadCases();
        for (const LoggedRow& row : restore.deletion().rows) {
            if (row.table == QLatin1String("Cases")) {
                selectCase(row.row);
                break;
            }
        }
    });
}

void MainWindow::refreshCases() {
    const int top = caseList->verticalScrollBar()->value();
    const int left = caseList->horizontalScrollBar()->value();
    loadCases();
    caseList->verticalScrollBar()->setValue(top);
    caseList->horizontalScrollBar()->setValue(left);
    m_refreshPending = false;
    m_refreshFailureReported = false;
}

void MainWindow::reloadWhenChanged() {
    // A window over the list (an editor, a message) is not refreshed behind the user's back;
    // the commands reload the list when it closes anyway; nor is it while a statement waits for
    // the server. After a failure the ticks back off, so that a dead link costs little.
    if (QApplication::activeModalWidget() != nullptr || ServerWait::active() ||
        !CaseStore::hasShared()) {
        return;
    }
    if (m_ticksToSkip > 0) {
        --m_ticksToSkip;
        return;
    }
    // The background's waits show no window and give up when the server stays silent.
    const ServerWait::Background background(kBackgroundSilence);
    if (CaseStore::shared().state() == 0) {
        reconnectQuietly();
        return;
    }
    untrapped(m_prompts, kWindow, QStringLiteral("Timer1_Timer"), [this] {
        try {
            CaseStore& store = CaseStore::shared();
            m_refreshPending = store.changedElsewhere() || m_refreshPending;
            if (!m_live->following()) {
                if (m_refreshPending) {
                    refreshCases();
                }
            } else if (ChangeFeed feed(store); m_refreshPending || feed.askEveryTick()) {
                // On the server a notice can be missed (a lost connection, a restart), and
                // asking the log is one indexed query: it is asked every tick.
                followChanges(feed);
            }
            showListCurrent(true);
        } catch (...) {
            // Tried again until a reload succeeds, reported only once, and the title says
            // meanwhile that the list is not up to date.
            m_refreshPending = true;
            showListCurrent(false);
            if (!m_refreshFailureReported) {
                m_refreshFailureReported = true;
                throw;
            }
        }
    });
}

void MainWindow::reconnectQuietly() {
    // Only a server comes back by itself; a file that could not be opened waits for a command,
    // which says why.
    if (!DataPaths::onServer()) {
        return;
    }
    try {
        CaseStore::shared().open(DataPaths::connectionText());
    } catch (const Failure&) {
        showListCurrent(false);
        return;
    }
    fillOpenedDatabase();
    showListCurrent(true);
}

void MainWindow::showListCurrent(bool current) {
    if (current) {
        m_failedTicks = 0;
        if (windowTitle() != QLatin1String("Helvarine") && m_titleMarked) {
            setWindowTitle(QStringLiteral("Helvarine"));
        }
        m_titleMarked = false;
        return;
    }
    // 1, 2, 4, 8 ticks skipped after each failure in a row, then every 16 seconds.
    constexpr int kMostSkipped = 15;
    m_ticksToSkip = std::min(kMostSkipped, (1 << std::min(m_failedTicks, 4)) - 1);
    ++m_failedTicks;
    m_titleMarked = true;
    setWindowTitle(QStringLiteral("Helvarine \u2014 the list is not up to date"));
}

void MainWindow::followChanges(ChangeFeed& feed) {
    ReportListModel& rows = caseList->rows();
    const int position = caseList->selectedPosition();
    const int top = caseList->verticalScrollBar()->value();
    const int left = caseList->horizontalScrollBar()->value();
    int selected = rows.rowAt(position);
    const LiveCaseList::Outcome outcome = m_live->follow(feed, selected);
    if (outcome == LiveCaseList::Outcome::ReloadNeeded) {
        refreshCases();
        return;
    }
    if (outcome == LiveCaseList::Outcome::Applied) {
        // The selected case stays selected where it now stands; when it is gone, the case that
        // took its place is.
        const int now = rows.positionOf(selected);
        if (position >= 0) {
            caseList->selectPosition(now >= 0 ? now : std::min(position, rows.count() - 1));
        }
        caseList->verticalScrollBar()->setValue(top);
        caseList->horizontalScrollBar()->setValue(left);
        showFindCount();
    }
    m_refreshPending = false;
    m_refreshFailureReported = false;
}

void MainWindow::reloadNow() {
    if (!databaseAtHand()) {
        return;
    }
    untrapped(m_prompts, kWindow, QStringLiteral("Form_KeyDown"), [this] { refreshCases(); });
}

void MainWindow::fillCaseList() {
    const std::optional<qint64> revision = revisionBeforeReading();
    m_live->reloaded(std::nullopt);  // until the rows are read
    ReportListModel& rows = caseList->rows();
    ReportListModel::Batch batch(rows);  // the rows are sorted and filtered once, as it ends
    // The finder lets go of the old rows' columns before the list takes the new rows.
    m_finder.clear();
    rows.removeAllRows();
    std::vector<bool> overdueRows;
    try {
        RecordSet cases = openCaseReader();
        takeCases(cases, rows, overdueRows);
    } catch (...) {
        // Whatever was read before a failure is listed, and found as well.
        m_finder.index(rows.snapshot(), std::move(overdueRows));
        throw;
    }
    m_finder.index(rows.snapshot(), std::move(overdueRows));
    m_live->reloaded(revision);
    if (m_finder.active()) {
        m_finder.waitForIndex();  // the list is filtered by the finder as the batch ends
    }
    LargeBlocks::giveBackFreed();
}

void MainWindow::sortByColumn(int column) {
    untrapped(m_prompts, kWindow, QStringLiteral("ListView1_ColumnClick"), [&] {
        // The first click on a header sorts ascending; the next click on the same one reverses.
        ReportListModel& rows = caseList->rows();
        const bool sameColumn = rows.sorted() && rows.sortKey() == column - 1;
        const bool reverse = sameColumn && rows.sortOrder() == Qt::AscendingOrder;
        rows.sort(column - 1, reverse ? Qt::DescendingOrder : Qt::AscendingOrder);
        caseList->showSortState();
    });
}

void MainWindow::shutDown() {
    refreshTimer->stop();  // the connection is about to close
    ErrorTrap trap{m_prompts, kWindow, QStringLiteral("Form_QueryUnload")};
    int columns = 0;
    trap.at(100, [&] { columns = caseList->rows().columnCount(); });
    for (int column = 1; column <= columns; ++column) {
        trap.at(102, [&] { saveColumnWidth(column); });
        trap.at(104, [] {});
    }
    trap.at(106, [this] {
        m_settings.setValue(settingKey(QStringLiteral("WindowState")),
                            QString::number(windowStateCode()));
        m_settings.sync();
        // A settings file that could not be read (FormatError) is written anew all the same;
        // only a file that cannot be written loses the settings.
        if (m_settings.status() == QSettings::AccessError) {
            throw Failure(
                QStringLiteral("The settings cannot be saved to %1.").arg(m_settings.fileName()));
        }
    });
    if (trap.trueOrFailed(108, [] { return CaseStore::shared().state() != 0; })) {
        trap.at(108, [] { CaseStore::shared().close(); });
    }
    trap.at(110, [] { CaseStore::releaseShared(); });
    trap.at(112, [] { QCoreApplication::processEvents(); });
    trap.at(114, [] { QCoreApplication::processEvents(); });
}

void MainWindow::endProgram() {
    m_endProgram();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    shutDown();
    event->accept();
    endProgram();
}

void MainWindow::addCase() {
    if (!databaseAtHand()) {
        return;
    }
    ErrorTrap trap{m_prompts, kWindow, QStringLiteral("PushButton2_Click")};
    CaseEditor editor(m_prompts, m_programFolder, this);
    trap.at(116, [&] { editor.m_ID = QString(); });
    trap.at(118, [&] { editor.setCaption(QStringLiteral("Add New Case")); });
    trap.at(120, [&] { m_prompts.showModal(editor); });
    trap.at(122, [this] { loadCases(); });
}

void MainWindow::editCase() {
    if (!databaseAtHand()) {
        return;
    }
    ErrorTrap trap{m_prompts, kWindow, QStringLiteral("PushButton1_Click")};
    // With no rows, or no row selected, there is nothing to edit.
    if (trap.trueOrFailed(100, [this] {
            return caseList->rows().count() == 0 || caseList->selectedPosition() < 0;
        })) {
        return;
    }
    // The edited case is found again by its ID after the reload, wherever it then stands.
    QString editedId;
    trap.at(102, [&] {
        editedId = caseList->rows().text(caseList->selectedPosition(), CaseColumn::Id);
    });
    CaseEditor editor(m_prompts, m_programFolder, this);
    trap.at(104, [&] { editor.m_ID = editedId; });
    trap.at(106, [&] { editor.setCaption(QStringLiteral("Edit Data")); });
    trap.at(108, [&] { m_prompts.showModal(editor); });
    trap.at(110, [this] { loadCases(); });
    int position = -1;
    if (trap.trueOrFailed(112, [&] {
            position = caseList->positionOfText(editedId);
            return position >= 0;
        })) {
        trap.at(114, [&] { caseList->selectPosition(position); });
    }
}

void MainWindow::deleteCase() {
    if (!databaseAtHand()) {
        return;
    }
    ErrorTrap trap{m_prompts, kWindow, QStringLiteral("PushButton3_Click")};
    if (trap.trueOrFailed(100, [this] {
            return caseList->rows().count() == 0 || caseList->selectedPosition() < 0;
        })) {
        return;
    }
    bool yes = false;
    trap.at(102, [&] {
        const int selected = caseList->selectedPosition();
        yes = m_prompts.confirmNoByDefault(QStringLiteral("Are you sure you want to delete [") +
                                           caseList->rows().text(selected, CaseColumn::Title) +
                                           QStringLiteral("]?"));
    });
    if (!yes) {
        return;
    }
    trap.at(104, [this] {
        const int selected = caseList->selectedPosition();
        if (selected < 0) {
            throw Failure(QStringLiteral("No case is selected."));
        }
        CaseStore::shared().execute(
            CaseStatements::remove(caseList->rows().text(selected, CaseColumn::Id)));
    });
    trap.at(106, [this] { loadCases(); });
}

void MainWindow::showReports() {
    if (!databaseAtHand()) {
        return;
    }
    ErrorTrap trap{m_prompts, kWindow, QStringLiteral("PushButton5_Click")};
    trap.at(100, [this] {
        ReportChooser chooser(m_prompts, m_programFolder, this);
        chooser.load();
        m_prompts.showModal(chooser);
    });
}

void MainWindow::showContactPage() {
    ErrorTrap trap{m_prompts, kWindow, QStringLiteral("PushButton6_Click")};
    trap.at(100, [this] {
        m_prompts.inform(QStringLiteral("Questions? Please contact Team Orvanta at ") +
                         kContactPage);
    });
}

void MainWindow::loadSampleData() {
    if (!databaseAtHand()) {
        return;
    }
    ErrorTrap trap{m_prompts, kWindow, QStringLiteral("PushButton4_Click")};
    SampleData::load(trap);
    trap.at(SampleData::kReloadLine, [this] { loadCases(); });
}

// The window's controls with their designer names and tab positions; the places come from the
// layout (designed, or computed for a maximized window). Each handler's location text is the
// designer name of its control with "_Click", "_ColumnClick" or "_Timer".
void MainWindow::applyLayout(const MainLayout& layout) {
    ControlPlaces::apply({
        {caseList, layout.list, 0, "ListView1"},
        {addButton, layout.buttons[0], 1, "PushButton2"},
        {editButton, layout.buttons[1], 2, "PushButton1"},
        {deleteButton, layout.buttons[2], 3, "PushButton3"},
        {reportsButton, layout.buttons[3], 4, "PushButton5"},
        {sampleDataButton, layout.buttons[4], 5, "PushButton4"},
        {helpButton, layout.buttons[5], 6, "PushButton6"},
    });
    m_listPlace = caseList->geometry();
    placeFindBar();
    QWidget::setTabOrder(caseList, m_findBar->field());
}

void MainWindow::placeFindBar() {
    QRect list = m_listPlace;
    if (!m_findBar->isHidden()) {
        const int height = m_findBar->sizeHint().height();
        list.setHeight(std::max(0, list.height() - height));
        m_findBar->setGeometry(list.left(), list.bottom() + 1, list.width(), height);
    }
    caseList->setGeometry(list);
}

double MainWindow::smallestListHeight() const {
    const int rowPixels = std::max(caseList->sizeHintForRow(0), caseList->fontMetrics().height());
    const int pixels =
        caseList->header()->sizeHint().height() + rowPixels + 2 * caseList->frameWidth();
    return Twips::fromPixels(pixels, Twips::dpiY(this));
}

void MainWindow::applyWindowLayout() {
    untrapped(m_prompts, kWindow, QStringLiteral("Form_Resize"), [this] {
        const int dpiX = Twips::dpiX(this);
        const int dpiY = Twips::dpiY(this);
        // The window's outer size, borders and caption included, in twips.
        const auto width = static_cast<float>(Twips::fromPixels(frameGeometry().width(), dpiX));
        const auto height = static_cast<float>(Twips::fromPixels(frameGeometry().height(), dpiY));
        const int state = windowStateCode();
        if (state == 2) {
            applyLayout(
                MainLayout::maximized(width, height, static_cast<float>(smallestListHeight())));
            m_layoutChanged = true;
        } else if (state == 0 && m_layoutChanged) {
            applyLayout(MainLayout::designed());
            centreOnScreen();
        }
    });
}

void MainWindow::centreOnScreen() {
    const QScreen* display = screen();
    if (display == nullptr) {
        return;
    }
    const int dpiX = Twips::dpiX(this);
    const int dpiY = Twips::dpiY(this);
    // The outer size, borders and caption included, and the whole screen, in twips.
    const auto width = static_cast<float>(Twips::fromPixels(frameGeometry().width(), dpiX));
    const auto height = static_cast<float>(Twips::fromPixels(frameGeometry().height(), dpiY));
    const QRect area = display->geometry();
    const auto screenWidth = static_cast<float>(Twips::fromPixels(area.width(), dpiX));
    const auto screenHeight = static_cast<float>(Twips::fromPixels(area.height(), dpiY));
    move(area.left() + Twips::toPixels((screenWidth - width) / 2, dpiX),
         area.top() + Twips::toPixels((screenHeight - height) / 2, dpiY));
}

void MainWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The window opens centred, as a restore leaves it; a minimized or maximized start is
    // centred by the layout when the window is restored.
    if (!m_shown && windowStateCode() == 0) {
        centreOnScreen();
    }
    m_shown = true;
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    applyWindowLayout();
}

void MainWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        applyWindowLayout();
    }
}
