// The benchmark: how fast the case list fills and sorts, next to a plain SQLite read of the same
// rows, for 1 000, 10 000, 100 000 and 1 000 000 cases (up to the largest size asked for), the
// start-up to the painted main window next to the sqlite3 shell reading the same view, a
// keystroke in the find field, and the program's memory with the list filled and at its peak; the
// "Case Details" report of 10 000 and 100 000 open cases in the print preview and as a PDF file.
// With HELVARINE_BENCH_SERVER (a libpq connection text of a PostgreSQL server with the database
// "helvarine_template", as tests/pg_server.sh makes it), the case list also fills from the server
// (and only there), next to psql reading the same view.
//   helvarine_bench [largest size]
// The change log's cost follows on each engine (HELVARINE_BENCH_CHANGE_LOG_ONLY: only that, on
// the file). Never part of the test run; `make bench` builds it in Release mode and runs it.

#include <libpq-fe.h>
#include <sqlite3.h>

#include <linux/tcp.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <time.h>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <functional>
#include <iterator>
#include <set>
#include <vector>

#include "band_report.h"
#include "case_statements.h"
#include "case_store.h"
#include "change_history.h"
#include "date_text.h"
#include "history_window.h"
#include "link_proxy.h"
#include "main_window.h"
#include "preview_pages.h"
#include "prompts.h"
#include "record_set.h"
#include "report_layout.h"
#include "report_list.h"
#include "report_preview.h"
#include "sqlite_change_log.h"

namespace {

// Answers every box with OK and counts them: the benchmark must meet none.
class SilentPrompts : public Prompts {
public:
    int boxes = 0;
    QString input(const QString&, const QString&, const QString&) override { return {}; }
    void showModal(QDialog&) override {}
    QString saveFileName(const QString&, const QString&, const QString&) override { return {}; }

protected:
    Answer showMessage(const QString& text, Buttons, Icon, const QString&) override {
        ++boxes;
        std::fprintf(stderr, "unexpected box: %s\n", qPrintable(text));
        return Answer::Ok;
    }
};

void check(int rc, sqlite3* db, const char* what) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::fprintf(stderr, "%s: %s\n", what, sqlite3_errmsg(db));
        std::exit(1);
    }
}

// Fills the database with `cases` cases and people and lookup values to match.
void populate(sqlite3* db, int cases, int resolvedEvery = 4) {
    check(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db, "begin");
    const int employees = std::max(10, cases / 100);
    const int customers = std::max(20, cases / 50);
    const char* people[] = {"Employees", "Customers"};
    for (int table = 0; table < 2; ++table) {
        const QByteArray insert = QByteArray("insert into ") + people[table] +
                                  " ([First Name],[Last Name],Company) values (?,?,?)";
        sqlite3_stmt* statement = nullptr;
        check(sqlite3_prepare_v2(db, insert.constData(), -1, &statement, nullptr), db, "prepare");
        const int count = table == 0 ? employees : customers;
        for (int i = 0; i < count; ++i) {
            const QByteArray first = "First" + QByteArray::number(i);
            const QByteArray last = "Lastname" + QByteArray::number(i * 7 % 1000);
            sqlite3_bind_text(statement, 1, first.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(statement, 2, last.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(statement, 3, "ACME", -1, SQLITE_STATIC);
            check(sqlite3_step(statement), db, "insert person");
            sqlite3_reset(statement);
        }
        sqlite3_finalize(statement);
    }
    const char* lookups[] = {"Status", "Categories", "Priorities", "KnowledgeBase"};
    for (const char* table : lookups) {
        for (int i = 0; i < 8; ++i) {
            const QByteArray insert = QByteArray("insert into ") + table + " values ('" + table +
                                      " " + QByteArray::number(i) + "')";
            check(sqlite3_exec(db, insert.constData(), nullptr, nullptr, nullptr), db, "lookup");
        }
    }
    sqlite3_stmt* statement = nullptr;
    check(sqlite3_prepare_v2(db,
                             "insert into Cases (Title,[Assigned To],[Opened By],[Opened Date],"
                             "Status,Category,Priority,Comments,[Due Date],KB,[Resolved Date],"
                             "Customer,[Call Time]) values (?,?,?,?,?,?,?,?,?,?,?,?,?)",
                             -1, &statement, nullptr),
          db, "prepare case");
    const char* words[] = {"Printer", "Invoice", "Delivery", "Refund", "Login", "Network", "Order"};
    for (int i = 0; i < cases; ++i) {
        const QByteArray title = QByteArray(words[i % 7]) + " problem reported by customer " +
                                 QByteArray::number((i * 7919) % 100000);
        const QByteArray opened = QDate(2024, 1, 1).addDays(i % 900).toString(Qt::ISODate).toUtf8();
        const QByteArray due = QDate(2024, 1, 15).addDays(i % 900).toString(Qt::ISODate).toUtf8();
        const QByteArray status = "Status " + QByteArray::number(i % 8);
        const QByteArray category = "Categories " + QByteArray::number(i % 5);
        const QByteArray priority = "Priorities " + QByteArray::number(i % 3);
        const QByteArray kb = "KnowledgeBase " + QByteArray::number(i % 8);
        sqlite3_bind_text(statement, 1, title.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(statement, 2, 1 + i % employees);
        sqlite3_bind_int(statement, 3, 1 + (i * 3) % employees);
        sqlite3_bind_text(statement, 4, opened.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(statement, 5, status.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(statement, 6, category.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(statement, 7, priority.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(statement, 8, "Customer called twice about this.", -1, SQLITE_STATIC);
        sqlite3_bind_text(statement, 9, due.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(statement, 10, kb.constData(), -1, SQLITE_TRANSIENT);
        if (resolvedEvery > 0 && i % resolvedEvery == 0) {
            sqlite3_bind_text(statement, 11, due.constData(), -1, SQLITE_TRANSIENT);
        } else {
            sqlite3_bind_null(statement, 11);
        }
        sqlite3_bind_int(statement, 12, 1 + i % customers);
        sqlite3_bind_text(statement, 13, opened.constData(), -1, SQLITE_TRANSIENT);
        check(sqlite3_step(statement), db, "insert case");
        sqlite3_reset(statement);
    }
    sqlite3_finalize(statement);
    check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db, "commit");
}

// The plain read to compare with: every row of the query, every column turned into a QString.
size_t plainRead(sqlite3* db) {
    sqlite3_stmt* statement = nullptr;
    check(sqlite3_prepare_v2(db, "select * from [Cases Extended]", -1, &statement, nullptr), db,
          "prepare read");
    std::vector<QString> cells;
    const int columns = sqlite3_column_count(statement);
    while (sqlite3_step(statement) == SQLITE_ROW) {
        for (int column = 0; column < columns; ++column) {
            cells.push_back(QString::fromUtf8(
                reinterpret_cast<const char*>(sqlite3_column_text(statement, column)),
                sqlite3_column_bytes(statement, column)));
        }
    }
    sqlite3_finalize(statement);
    return cells.size();
}

// The best of a few runs, in milliseconds.
double bestOf(int runs, const std::function<void()>& work) {
    double best = 1e300;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, timer.nsecsElapsed() / 1e6);
    }
    return best;
}

// Forgets the peak so far, so that the next reading shows the peak of what follows.
void resetPeakMemory() {
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly)) {
        clear.write("5");
    }
}

// A figure of /proc/self/status in KiB ("VmHWM:" the peak, "VmRSS:" the present), -1 unknown.
long memoryKiB(const QByteArray& figure) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(figure)) {
            return line.mid(figure.size()).trimmed().split(' ').front().toLong();
        }
    }
    return -1;
}

long peakMemoryKiB() {
    return memoryKiB("VmHWM:");
}

// The find field typed into letter by letter, as a person types: the slowest keystroke and the
// mean of all, each filtering the whole list and showing the result, in milliseconds.
struct Keystrokes {
    double slowest = 0;
    double mean = 0;
};

// What the benchmark types: words of a title and a customer's name, and the overdue cases.
constexpr std::array<const char*, 2> kTyped{"refund lastname42", "overdue printer"};

Keystrokes typeIntoFind(MainWindow& form, const QString& typed) {
    auto* field = form.findChild<QLineEdit*>(QStringLiteral("FindField"));
    Keystrokes result;
    for (qsizetype length = 1; length <= typed.size(); ++length) {
        const double stroke = bestOf(1, [&] {
            field->setText(typed.left(length));
            QCoreApplication::processEvents();
        });
        result.slowest = std::max(result.slowest, stroke);
        result.mean += stroke / static_cast<double>(typed.size());
    }
    field->clear();
    QCoreApplication::processEvents();
    return result;
}

// The "Case Details" report of every open case: read, laid out, shown in the print preview
// (the time to its first page and the memory the preview adds), and drawn to a PDF file.
void benchmarkCaseDetails(sqlite3* db, Prompts& prompts, const QString& pdfPath, bool toPdf) {
    // Long comments for some cases, so that some blocks grow.
    check(sqlite3_exec(db,
                       "update Cases set Comments = Comments || ' ' || Comments || ' ' || Comments"
                       " || ' ' || Comments || ' ' || Comments || ' ' || Comments where ID % 7 = 0",
                       nullptr, nullptr, nullptr),
          db, "comments");
    const ReportLayout layout = ReportLayouts::rptCaseDetails();
    ReportData data;
    const double read = bestOf(1, [&] {
        RecordSet rows =
            CaseStore::shared().query(QStringLiteral("select * from [Open Cases] order by Title"));
        data = ReportData::read(rows, layout);
    });
    ReportPages pages;
    const double layOut = bestOf(3, [&] {
        pages = BandReport::layOut(layout, data, BandReport::preferredLandscapePaper());
    });
    std::printf("\nCase Details of %zu open cases: %d pages\n", data.records.size(),
                pages.pageCount);
    std::printf("  read %.0f ms, lay out %.0f ms\n", read, layOut);
    pages = ReportPages();
    resetPeakMemory();
    const long before = memoryKiB("VmRSS:");
    double laidOut = 0;
    double shown = 0;
    {
        QElapsedTimer clock;
        clock.start();
        ReportPreview preview(prompts, layout, data);  // lays the report out
        laidOut = clock.nsecsElapsed() / 1e6;
        preview.show();
        while (preview.view().pagesDrawn() == 0) {
            QCoreApplication::processEvents();
        }
        shown = clock.nsecsElapsed() / 1e6;
        preview.close();
    }
    std::printf(
        "  print preview made (its layout included) in %.0f ms, shown with its first page "
        "%.0f ms later; it added %.1f MB at its peak\n",
        laidOut, shown - laidOut, (peakMemoryKiB() - before) / 1024.0);
    if (toPdf) {
        int printed = 0;
        const double pdf = bestOf(1, [&] {
            ReportPreview preview(prompts, layout, data);
            printed = preview.pages().pageCount;
            preview.exportPdf(pdfPath);
        });
        std::printf("  lay out and draw to PDF %.0f ms: %.0f pages/s\n", pdf,
                    printed / (pdf / 1000.0));
    }
}

// Tells when a widget has been painted.
class PaintWatch : public QObject {
public:
    explicit PaintWatch(QWidget* widget) { widget->installEventFilter(this); }
    bool painted = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            painted = true;
        }
        return false;
    }
};

// The sqlite3 shell reading the case list's view of the file, its output thrown away, in
// milliseconds.
double sqliteShellRead(const QString& database) {
    return bestOf(1, [&] {
        QProcess shell;
        shell.setStandardOutputFile(QProcess::nullDevice());
        shell.start(QStringLiteral("sqlite3"), {QStringLiteral("-readonly"), database,
                                                QStringLiteral("select * from [Cases Extended]")});
        if (!shell.waitForFinished(600000) || shell.exitCode() != 0) {
            std::fprintf(stderr, "sqlite3: %s\n", shell.readAllStandardError().constData());
            std::exit(1);
        }
    });
}

// Start-up: the main window made, loaded and shown until its case list is painted, in a process
// of its own (as the program starts), with its memory then and the process's peak.
struct StartUp {
    double milliseconds = 0;
    long filledKiB = 0;
    long peakKiB = 0;
};

constexpr const char* kStartUpMode = "--start-up";

// The child's side: prints the three figures.
int startUpChild(const QString& programFolder) {
    SilentPrompts prompts;
    QSettings settings(
        qEnvironmentVariable("HELVARINE_DATA_ROOT") + QStringLiteral("/settings.ini"),
        QSettings::IniFormat);
    QElapsedTimer startClock;
    startClock.start();
    MainWindow form(prompts, settings, programFolder);
    form.setProgramEnd([] {});
    auto* list = form.findChild<ReportListView*>(QStringLiteral("ListView1"));
    PaintWatch watch(list->viewport());
    form.load();
    form.show();
    while (!watch.painted) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    }
    const double milliseconds = startClock.nsecsElapsed() / 1e6;
    // The memory is read once the find field's texts are folded (a search waits for them).
    auto* find = form.findChild<QLineEdit*>(QStringLiteral("FindField"));
    find->setText(QStringLiteral("x"));
    find->clear();
    QCoreApplication::processEvents();
    std::printf("%f %ld %ld\n", milliseconds, memoryKiB("VmRSS:"), peakMemoryKiB());
    std::fflush(stdout);
    // The process ends here: what the window would do at its end is not measured.
    std::_Exit(prompts.boxes == 0 ? 0 : 1);
}

StartUp startUpInChild() {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kStartUpMode)});
    if (!child.waitForFinished(600000) || child.exitCode() != 0) {
        std::fprintf(stderr, "the start-up run failed\n");
        std::exit(1);
    }
    const QList<QByteArray> figures = child.readAllStandardOutput().trimmed().split(' ');
    if (figures.size() != 3) {
        std::fprintf(stderr, "the start-up run printed no figures\n");
        std::exit(1);
    }
    return {figures[0].toDouble(), figures[1].toLong(), figures[2].toLong()};
}

// Runs statements on the server as its administrator; ends the benchmark on a failure.
void administer(const QString& server, const QStringList& statements) {
    PGconn* connection = PQconnectdb(server.toUtf8().constData());
    PQsetNoticeProcessor(
        connection, [](void*, const char*) {}, nullptr);
    for (const QString& statement : statements) {
        PGresult* result = PQexec(connection, statement.toUtf8().constData());
        if (PQresultStatus(result) != PGRES_COMMAND_OK) {
            std::fprintf(stderr, "server: %s\n", PQerrorMessage(connection));
            std::exit(1);
        }
        PQclear(result);
    }
    PQfinish(connection);
}

// The rows populate() writes to a file, made on the server by the server itself.
QStringList serverPopulation(int cases) {
    const int employees = std::max(10, cases / 100);
    const int customers = std::max(20, cases / 50);
    QStringList statements;
    for (const auto& [table, count] :
         {std::pair{"employees", employees}, {"customers", customers}}) {
        statements << QStringLiteral(
                          "insert into %1 (\"first name\", \"last name\", company) "
                          "select 'First' || i, 'Lastname' || (i * 7 % 1000), 'ACME' "
                          "from generate_series(0, %2) i")
                          .arg(QLatin1String(table))
                          .arg(count - 1);
    }
    statements
        << QStringLiteral(
               "insert into status (status) select 'Status ' || i from generate_series(0, 7) i")
        << QStringLiteral(
               "insert into categories (category) select 'Categories ' || i "
               "from generate_series(0, 7) i")
        << QStringLiteral(
               "insert into priorities (priority) select 'Priorities ' || i "
               "from generate_series(0, 7) i")
        << QStringLiteral(
               "insert into knowledgebase (kb) select 'KnowledgeBase ' || i "
               "from generate_series(0, 7) i");
    statements << QStringLiteral(
                      "insert into cases (title, \"assigned to\", \"opened by\", \"opened date\", "
                      "status, category, priority, comments, \"due date\", kb, \"resolved date\", "
                      "customer, \"call time\") "
                      "select (array['Printer','Invoice','Delivery','Refund','Login','Network',"
                      "'Order'])[i % 7 + 1] || ' problem reported by customer ' || "
                      "(i::bigint * 7919 % 100000), 1 + i % %2, 1 + (i * 3) % %2, "
                      "date '2024-01-01' + i % 900, 'Status ' || i % 8, 'Categories ' || i % 5, "
                      "'Priorities ' || i % 3, 'Customer called twice about this.', "
                      "date '2024-01-15' + i % 900, 'KnowledgeBase ' || i % 8, "
                      "case when i % 4 = 0 then date '2024-01-15' + i % 900 end, 1 + i % %3, "
                      "date '2024-01-01' + i % 900 from generate_series(0, %1) i")
                      .arg(cases - 1)
                      .arg(employees)
                      .arg(customers)
               << QStringLiteral("analyze");
    return statements;
}

// The case list filled from the server, next to psql reading the same view in the same run.
void benchmarkServer(const QString& server, const QString& programFolder, int largest) {
    std::printf("\nFrom the PostgreSQL server (%s):\n", qPrintable(server));
    std::printf("%9s %12s %12s %8s %10s %12s\n", "cases", "psql read", "LoadCases", "ratio",
                "sort click", "peak memory");
    for (int size : {10000, 100000, 1000000}) {
        if (size > largest) {
            break;
        }
        const QString name = QStringLiteral("helvarine_bench_%1").arg(size);
        administer(server + QStringLiteral(" dbname=postgres"),
                   {QStringLiteral("drop database if exists %1").arg(name),
                    QStringLiteral("create database %1 template helvarine_template").arg(name)});
        const QString database = server + QStringLiteral(" dbname=") + name;
        administer(database, serverPopulation(size));

        QTemporaryDir root;
        qputenv("HELVARINE_DATA_ROOT", QFile::encodeName(root.path()));
        qputenv("HELVARINE_DATABASE", database.toUtf8());
        // The program's start, in a process of its own: its time and its peak memory.
        const StartUp startUp = startUpInChild();
        SilentPrompts prompts;
        QSettings settings(root.path() + QStringLiteral("/settings.ini"), QSettings::IniFormat);
        double load = 0;
        double click = 0;
        {
            MainWindow form(prompts, settings, programFolder);
            form.setProgramEnd([] {});
            form.load();
            form.show();
            load = bestOf(3, [&] {
                form.loadCases();
                QCoreApplication::processEvents();
            });
            const int listed =
                form.findChild<ReportListView*>(QStringLiteral("ListView1"))->rows().count();
            if (listed != size) {
                std::fprintf(stderr, "the list holds %d rows, not %d\n", listed, size);
                std::exit(1);
            }
            click = bestOf(3, [&] {
                form.sortByColumn(2);
                QCoreApplication::processEvents();
            });
            form.shutDown();
        }
        const long peak = peakMemoryKiB();
        qunsetenv("HELVARINE_DATABASE");
        const double psql = bestOf(3, [&] {
            QProcess reader;
            reader.start(QStringLiteral("psql"),
                         {QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-A"),
                          QStringLiteral("-t"), QStringLiteral("-o"), QStringLiteral("/dev/null"),
                          QStringLiteral("-c"), QStringLiteral("select * from \"cases extended\""),
                          database});
            if (!reader.waitForFinished(120000) || reader.exitCode() != 0) {
                std::fprintf(stderr, "psql: %s\n", reader.readAllStandardError().constData());
                std::exit(1);
            }
        });
        std::printf("%9d %10.1fms %10.1fms %8.2f %8.1fms %9.1f MB\n", size, psql, load, load / psql,
                    click, peak / 1024.0);
        std::printf(
            "%9s   start-up to the painted window %.1f ms (%.2f times psql), peak %.1f MB\n", "",
            startUp.milliseconds, startUp.milliseconds / psql, startUp.peakKiB / 1024.0);
        std::fflush(stdout);
        administer(server + QStringLiteral(" dbname=postgres"),
                   {QStringLiteral("drop database %1 with (force)").arg(name)});
        if (prompts.boxes != 0) {
            std::exit(1);
        }
    }
}

// Drops the triggers that write the change log, so that the same database can be measured
// without it.
void dropChangeLog(CaseStore& store, bool onServer) {
    for (const char* table : SqliteChangeLog::kLoggedTables) {
        for (const char* event : SqliteChangeLog::kEvents) {
            store.execute(onServer ? QStringLiteral("drop trigger helvarine_log_%1 on %2")
                                         .arg(QLatin1String(event), QLatin1String(table))
                                   : QStringLiteral("drop trigger [%1]")
                                         .arg(QString::fromStdString(
                                             SqliteChangeLog::triggerName(table, event))));
        }
    }
}

struct ChangeLogCost {
    double saveMs;
    double bulkMs;
};

// A case saved as the editor saves it (its row read again and locked, then the update, in one
// transaction): the mean of a round of saves, the best of three rounds. Then 100 000 cases
// inserted by one statement. On an open database of 100 000 cases.
ChangeLogCost measureWrites(CaseStore& store) {
    constexpr int kSaves = 200;
    int saved = 0;
    const double round = bestOf(3, [&] {
        for (int i = 0; i < kSaves; ++i, ++saved) {
            const QString id = QString::number(1 + saved * 97 % 100000);
            CaseRecord record{QStringLiteral("Printer problem, saved %1").arg(saved),
                              QStringLiteral("1"),
                              QStringLiteral("2"),
                              DateText::toText(QDate(2024, 1, 2)),
                              QStringLiteral("Status 1"),
                              QStringLiteral("Categories 1"),
                              QStringLiteral("Priorities 1"),
                              QStringLiteral("Customer called again."),
                              DateText::toText(QDate(2024, 1, 16)),
                              QStringLiteral("KnowledgeBase 1"),
                              QStringLiteral("NULL"),
                              QStringLiteral("3"),
                              DateText::toText(QDate(2026, 12, 8))};
            store.transaction([&] {
                RecordSet row =
                    store.queryForUpdate(QStringLiteral("select * from Cases where ID=") + id);
                row.close();
                store.execute(CaseStatements::update(record, id));
            });
        }
    });
    QElapsedTimer clock;
    clock.start();
    store.execute(QStringLiteral(
        "insert into Cases (Title,[Assigned To],[Opened By],[Opened Date],Status,Category,"
        "Priority,Comments,[Due Date],KB,[Resolved Date],Customer,[Call Time]) select Title,"
        "[Assigned To],[Opened By],[Opened Date],Status,Category,Priority,Comments,[Due Date],"
        "KB,[Resolved Date],Customer,[Call Time] from Cases where ID <= 100000"));
    return {round / kSaves, static_cast<double>(clock.nsecsElapsed()) / 1e6};
}

// The change log's cost: a case save and 100 000 cases inserted by one statement, each with the
// log and without it, on the file and (with a server) on the server; with a million cases, the
// log's size after every case was changed five times.
void benchmarkChangeLog(const QString& programFolder, const QString& server, int largest) {
    const bool onServer = !server.isEmpty();
    std::printf("\nThe change log's cost (%s):\n", onServer ? "server" : "file");
    std::array<ChangeLogCost, 2> costs{};
    const auto openedDatabase = [&](int cases, QTemporaryDir& root) {
        auto store = std::make_unique<CaseStore>();
        if (onServer) {
            const QString name = QStringLiteral("helvarine_bench_log");
            administer(
                server + QStringLiteral(" dbname=postgres"),
                {QStringLiteral("drop database if exists %1").arg(name),
                 QStringLiteral("create database %1 template helvarine_template").arg(name)});
            const QString database = server + QStringLiteral(" dbname=") + name;
            administer(database, serverPopulation(cases));
            // A million rows changed at once may take longer than the desktop's time limit.
            store->openServer(database + QStringLiteral(" options='-c statement_timeout=0'"));
        } else {
            const QString database = root.path() + QStringLiteral("/dbData.mdb");
            QFile::copy(programFolder + QStringLiteral("/dbBlank.mdb"), database);
            QFile::setPermissions(database, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
            store->openFile(database);
            populate(store->handle(), cases);
        }
        return store;
    };
    for (const bool logged : {false, true}) {
        QTemporaryDir root;
        std::unique_ptr<CaseStore> store = openedDatabase(100000, root);
        if (!logged) {
            dropChangeLog(*store, onServer);
        }
        costs[logged ? 1 : 0] = measureWrites(*store);
    }
    std::printf("  a case saved: %.3f ms with the log, %.3f ms without: ratio %.2f\n",
                costs[1].saveMs, costs[0].saveMs, costs[1].saveMs / costs[0].saveMs);
    std::printf(
        "  100 000 cases by one statement: %.0f ms with the log, %.0f ms without: ratio "
        "%.2f\n",
        costs[1].bulkMs, costs[0].bulkMs, costs[1].bulkMs / costs[0].bulkMs);
    if (largest >= 1000000) {
        QTemporaryDir root;
        std::unique_ptr<CaseStore> store = openedDatabase(1000000, root);
        for (int change = 1; change <= 5; ++change) {
            store->execute(
                QStringLiteral("update Cases set Comments = 'Changed %1 times.'").arg(change));
        }
        RecordSet size = store->query(
            onServer ? QStringLiteral("select pg_total_relation_size('changes'), count(*) from "
                                      "changes")
                     : QStringLiteral("select (select sum(pgsize) from dbstat where name like "
                                      "'Changes%'), (select count(*) from Changes)"));
        std::printf("  the log after 1 000 000 cases and five changes each: %lld rows, %.1f MB\n",
                    size.text(1).toLongLong(), size.text(0).toDouble() / 1048576.0);
        // A case's history among them, read and put into its window, as Ctrl+H opens it.
        size_t lines = 0;
        const double historyMs = bestOf(3, [&] {
            const std::vector<HistoryLine> history = CaseHistory::read(*store, 500000);
            const HistoryWindow window(500000, history);
            lines = history.size();
        });
        std::printf("  the history of one case among them: %.1f ms (%zu lines)\n", historyMs,
                    lines);
    }
    std::fflush(stdout);
}

// The process's processor time in milliseconds, and the bytes it has read through read() and
// its kin (files, and the server's socket), from /proc/self/io.
double processorMs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// The processor time of stepping through the list's select as the read-ahead thread does (each
// cell's kind, then its bytes) on a connection of the given threading mode: serialized mode's
// lock around every call of the library against multi-thread mode's none. The best of five.
double readAheadSteppingMs(const QString& database, int mode) {
    sqlite3* db = nullptr;
    check(sqlite3_open_v2(QFile::encodeName(database).constData(), &db, SQLITE_OPEN_READONLY | mode,
                          nullptr),
          db, "open");
    double best = 1e300;
    size_t bytes = 0;
    for (int run = 0; run < 5; ++run) {
        sqlite3_stmt* statement = nullptr;
        check(sqlite3_prepare_v2(db, "select * from [Cases Extended]", -1, &statement, nullptr), db,
              "prepare read");
        const int columns = sqlite3_column_count(statement);
        const double start = processorMs();
        while (sqlite3_step(statement) == SQLITE_ROW) {
            for (int column = 0; column < columns; ++column) {
                if (sqlite3_column_type(statement, column) != SQLITE_NULL) {
                    bytes += sqlite3_column_text(statement, column) != nullptr ? 1 : 0;
                    bytes += static_cast<size_t>(sqlite3_column_bytes(statement, column));
                }
            }
        }
        best = std::min(best, processorMs() - start);
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return bytes > 0 ? best : 0;
}

long long bytesReadFromFiles() {
    QFile io(QStringLiteral("/proc/self/io"));
    if (!io.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray& line : io.readAll().split('\n')) {
        if (line.startsWith("rchar:")) {
            return line.mid(6).trimmed().toLongLong();
        }
    }
    return 0;
}

// The process's TCP sockets, by descriptor.
std::set<int> tcpSockets() {
    std::set<int> sockets;
    for (const QFileInfo& entry :
         QDir(QStringLiteral("/proc/self/fd")).entryInfoList(QDir::System)) {
        const int fd = entry.fileName().toInt();
        tcp_info info{};
        socklen_t size = sizeof(info);
        if (getsockopt(fd, IPPROTO_TCP, TCP_INFO, &info, &size) == 0) {
            sockets.insert(fd);
        }
    }
    return sockets;
}

// What the sockets received so far (the kernel counts it per TCP connection).
long long bytesReceived(const std::set<int>& sockets) {
    long long total = 0;
    for (const int fd : sockets) {
        tcp_info info{};
        socklen_t size = sizeof(info);
        if (getsockopt(fd, IPPROTO_TCP, TCP_INFO, &info, &size) == 0) {
            total += static_cast<long long>(info.tcpi_bytes_received);
        }
    }
    return total;
}

// Start-up over a slow link (20 Mbit/s, 20 ms there and back) with 50 000 cases whose comments
// hold 1 kB each: the program started until its list is painted, beside COPY of the twelve
// columns the list shows over the same link, in time and in bytes from the server.
void benchmarkSlowLink(const QString& server) {
    constexpr int kCases = 50000;
    constexpr long long kBytesPerSecond = 20000000 / 8;
    constexpr std::chrono::milliseconds kEachWay(10);
    const QString folder =
        QRegularExpression(QStringLiteral("host=(\\S+)")).match(server).captured(1);
    const QString port =
        QRegularExpression(QStringLiteral("port=(\\d+)")).match(server).captured(1);
    const QString name = QStringLiteral("helvarine_bench_slow");
    administer(server + QStringLiteral(" dbname=postgres"),
               {QStringLiteral("drop database if exists %1").arg(name),
                QStringLiteral("create database %1 template helvarine_template").arg(name)});
    QStringList population = serverPopulation(kCases);
    population.insert(population.size() - 1,
                      QStringLiteral("update cases set comments = repeat('Customer called twice "
                                     "about this. ', 30)"));
    administer(server + QStringLiteral(" dbname=") + name, population);

    LinkProxy link(folder + QStringLiteral("/.s.PGSQL.") +
                   (port.isEmpty() ? QStringLiteral("5432") : port));
    link.setLink(kBytesPerSecond, kEachWay);
    const QString through = link.connectionText(name);
    const char* const copy =
        "COPY (SELECT \"id\", \"title\", \"customer name\", \"assigned to name\", "
        "\"priority\", \"status\", \"category\", \"due date\", \"opened date\", "
        "\"knowledge base\", \"resolved date\", \"opened by name\" FROM \"cases extended\") "
        "TO STDOUT";
    std::printf(
        "\nStart-up over a 20 Mbit/s link with 20 ms there and back, %d cases with 1 kB "
        "comments:\n",
        kCases);
    for (int turn = 0; turn < 2; ++turn) {
        long long before = link.bytesToProgram();
        QElapsedTimer clock;
        clock.start();
        PGconn* connection = PQconnectdb(through.toUtf8().constData());
        PGresult* started = PQexec(connection, copy);
        if (PQresultStatus(started) != PGRES_COPY_OUT) {
            std::fprintf(stderr, "COPY: %s\n", PQerrorMessage(connection));
            std::exit(1);
        }
        PQclear(started);
        char* row = nullptr;
        while (PQgetCopyData(connection, &row, 0) > 0) {
            PQfreemem(row);
        }
        PQclear(PQgetResult(connection));
        PQfinish(connection);
        const double copyMs = clock.nsecsElapsed() / 1e6;
        const long long copyBytes = link.bytesToProgram() - before;

        QTemporaryDir root;
        qputenv("HELVARINE_DATA_ROOT", QFile::encodeName(root.path()));
        qputenv("HELVARINE_DATABASE", through.toUtf8());
        before = link.bytesToProgram();
        const StartUp startUp = startUpInChild();
        const long long startBytes = link.bytesToProgram() - before;
        qunsetenv("HELVARINE_DATABASE");
        std::printf(
            "  COPY of the shown columns %.0f ms, %.1f MB; start-up to the painted list "
            "%.0f ms, %.1f MB: %.2f times the time, %.2f times the bytes\n",
            copyMs, copyBytes / 1e6, startUp.milliseconds, startBytes / 1e6,
            startUp.milliseconds / copyMs,
            static_cast<double>(startBytes) / static_cast<double>(copyBytes));
        std::fflush(stdout);
    }
    administer(server + QStringLiteral(" dbname=postgres"),
               {QStringLiteral("drop database %1 with (force)").arg(name)});
}

// The server the live list is measured on: over TCP when the benchmark's server has a port.
QString liveListServer() {
    const QString tcp = qEnvironmentVariable("HELVARINE_BENCH_SERVER_TCP");
    return tcp.isEmpty() ? qEnvironmentVariable("HELVARINE_BENCH_SERVER") : tcp;
}

// The live list with 100 000 cases: another connection changes one case's title, and the list
// shows it after the next tick, reading only that case; beside a full reload. The processor time
// and the bytes read are this process's, from the commit until the list shows the change.
void benchmarkLiveList(const QString& programFolder, const QString& server) {
    constexpr int kCases = 100000;
    const bool onServer = !server.isEmpty();
    QTemporaryDir root;
    qputenv("HELVARINE_DATA_ROOT", QFile::encodeName(root.path()));
    QString database;
    if (onServer) {
        const QString name = QStringLiteral("helvarine_bench_live");
        administer(server + QStringLiteral(" dbname=postgres"),
                   {QStringLiteral("drop database if exists %1").arg(name),
                    QStringLiteral("create database %1 template helvarine_template").arg(name)});
        database = server + QStringLiteral(" dbname=") + name;
        administer(database, serverPopulation(kCases));
        qputenv("HELVARINE_DATABASE", database.toUtf8());
    } else {
        const QString folder = root.path() + QStringLiteral("/Orvanta/Helvarine");
        database = folder + QStringLiteral("/dbData.mdb");
        QDir().mkpath(folder);
        QFile::copy(programFolder + QStringLiteral("/dbBlank.mdb"), database);
        QFile::setPermissions(database, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        sqlite3* filling = nullptr;
        check(sqlite3_open(QFile::encodeName(database).constData(), &filling), filling, "open");
        populate(filling, kCases);
        sqlite3_close(filling);
    }
    SilentPrompts prompts;
    QSettings settings(root.path() + QStringLiteral("/settings.ini"), QSettings::IniFormat);
    MainWindow form(prompts, settings, programFolder);
    form.setProgramEnd([] {});
    auto* list = form.findChild<ReportListView*>(QStringLiteral("ListView1"));
    const std::set<int> before = tcpSockets();
    form.load();
    // Over TCP the program's connection is the socket its start-up opened; on a file, what
    // the file's reads brought in.
    std::set<int> program;
    std::ranges::set_difference(tcpSockets(), before, std::inserter(program, program.end()));
    const auto bytesRead = [&program] {
        return program.empty() ? bytesReadFromFiles() : bytesReceived(program);
    };
    form.show();
    QCoreApplication::processEvents();
    CaseStore colleague;
    if (onServer) {
        colleague.openServer(database);
    } else {
        colleague.openFile(database);
    }
    struct Cost {
        double cpuMs = 1e300;
        double wallMs = 0;
        long long bytes = 0;
    };
    Cost reload;
    for (int round = 0; round < 3; ++round) {
        const double cpu = processorMs();
        const long long bytes = bytesRead();
        form.loadCases();
        QCoreApplication::processEvents();
        if (processorMs() - cpu < reload.cpuMs) {
            reload = {processorMs() - cpu, 0, bytesRead() - bytes};
        }
    }
    // The find field's texts of the last reload are folded on a thread of their own: that work
    // belongs to the reload, so it ends before the change is measured.
    const auto settle = [] {
        QEventLoop idle;
        QTimer::singleShot(1500, &idle, &QEventLoop::quit);
        idle.exec();
    };
    settle();
    Cost change;
    for (int round = 1; round <= 3; ++round) {
        settle();
        const QString title = QStringLiteral("Changed by a colleague %1").arg(round);
        colleague.execute(
            QStringLiteral("update Cases set Title = '%1' where ID = 4242").arg(title));
        // Shown once the list's model says a row came or changed; the loop sleeps meanwhile.
        QEventLoop shown;
        QTimer::singleShot(10000, &shown, &QEventLoop::quit);
        const QMetaObject::Connection inserted = QObject::connect(
            &list->rows(), &QAbstractItemModel::rowsInserted, &shown, &QEventLoop::quit);
        const QMetaObject::Connection changed = QObject::connect(
            &list->rows(), &QAbstractItemModel::dataChanged, &shown, &QEventLoop::quit);
        QElapsedTimer wall;
        wall.start();
        const double cpu = processorMs();
        const long long bytes = bytesRead();
        shown.exec();
        QCoreApplication::processEvents();
        QObject::disconnect(inserted);
        QObject::disconnect(changed);
        const double spent = processorMs() - cpu;
        if (spent < change.cpuMs) {
            change = {spent, static_cast<double>(wall.elapsed()), bytesRead() - bytes};
        }
    }
    std::printf("\nThe live list, %d cases (%s):\n", kCases,
                onServer
                    ? (server.contains(QLatin1String("127.0.0.1")) ? "server over TCP" : "server")
                    : "file");
    std::printf("  full reload:         %8.1f ms processor, %10lld bytes read\n", reload.cpuMs,
                reload.bytes);
    std::printf(
        "  a colleague's change: %8.1f ms processor, %10lld bytes read, shown after %.0f ms "
        "(%.1f %% of the reload's processor time, %.2f %% of its bytes)\n",
        change.cpuMs, change.bytes, change.wallMs, 100.0 * change.cpuMs / reload.cpuMs,
        100.0 * static_cast<double>(change.bytes) / static_cast<double>(reload.bytes));
    form.shutDown();
    qunsetenv("HELVARINE_DATABASE");
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    const QString programFolder =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../bin");
    if (argc > 1 && std::strcmp(argv[1], kStartUpMode) == 0) {
        return startUpChild(programFolder);
    }
    const int largest = argc > 1 ? std::atoi(argv[1]) : 100000;

    // HELVARINE_BENCH_SLOW_LINK_ONLY: only the start-up over a slow link, on the server that
    // HELVARINE_BENCH_SERVER names.
    if (qEnvironmentVariableIsSet("HELVARINE_BENCH_SLOW_LINK_ONLY")) {
        benchmarkSlowLink(qEnvironmentVariable("HELVARINE_BENCH_SERVER"));
        return 0;
    }
    // HELVARINE_BENCH_LIVE_LIST_ONLY: only the live list, on the file and (with
    // HELVARINE_BENCH_SERVER) on the server.
    if (qEnvironmentVariableIsSet("HELVARINE_BENCH_LIVE_LIST_ONLY")) {
        benchmarkLiveList(programFolder, {});
        if (const QString server = liveListServer(); !server.isEmpty()) {
            benchmarkLiveList(programFolder, liveListServer());
        }
        return 0;
    }
    // The server's figures come from a run of their own, so that its peak memory is the list's.
    if (const QString server = qEnvironmentVariable("HELVARINE_BENCH_SERVER"); !server.isEmpty()) {
        benchmarkServer(server, programFolder, largest);
        benchmarkSlowLink(server);
        benchmarkChangeLog(programFolder, server, largest);
        benchmarkLiveList(programFolder, liveListServer());
        return 0;
    }
    // HELVARINE_BENCH_CHANGE_LOG_ONLY: only the change log's cost, on the file, or on the server
    // that HELVARINE_BENCH_CHANGE_LOG_SERVER names.
    if (qEnvironmentVariableIsSet("HELVARINE_BENCH_CHANGE_LOG_ONLY")) {
        benchmarkChangeLog(programFolder, qEnvironmentVariable("HELVARINE_BENCH_CHANGE_LOG_SERVER"),
                           largest);
        return 0;
    }
    benchmarkLiveList(programFolder, {});

    std::printf("%9s %12s %12s %8s %14s %8s %10s\n", "cases", "plain read", "LoadCases", "ratio",
                "sorted Load", "ratio", "sort click");
    long programPeak = 0;
    for (int size : {1000, 10000, 100000, 1000000}) {
        if (size > largest) {
            break;
        }
        QTemporaryDir root;
        qputenv("HELVARINE_DATA_ROOT", QFile::encodeName(root.path()));
        const QString folder = root.path() + QStringLiteral("/Orvanta/Helvarine");
        const QString database = folder + QStringLiteral("/dbData.mdb");
        QDir().mkpath(folder);
        QFile::copy(programFolder + QStringLiteral("/dbBlank.mdb"), database);
        QFile::setPermissions(database, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        {
            sqlite3* filling = nullptr;
            check(sqlite3_open(QFile::encodeName(database).constData(), &filling), filling, "open");
            populate(filling, size);
            sqlite3_close(filling);
        }
        // The machine's pace drifts: the shell and the start-up take turns, and the best of
        // each is compared.
        constexpr int kTurns = 3;
        double shell = 1e300;
        StartUp startUp{1e300, 0, 0};
        for (int turn = 0; turn < kTurns; ++turn) {
            shell = std::min(shell, sqliteShellRead(database));
            const StartUp run = startUpInChild();
            startUp.milliseconds = std::min(startUp.milliseconds, run.milliseconds);
            startUp.filledKiB = std::max(startUp.filledKiB, run.filledKiB);
            startUp.peakKiB = std::max(startUp.peakKiB, run.peakKiB);
        }

        SilentPrompts prompts;
        QSettings settings(root.path() + QStringLiteral("/settings.ini"), QSettings::IniFormat);
        MainWindow form(prompts, settings, programFolder);
        form.setProgramEnd([] {});
        auto* list = form.findChild<ReportListView*>(QStringLiteral("ListView1"));
        form.load();
        form.show();
        QCoreApplication::processEvents();
        sqlite3* db = CaseStore::shared().handle();

        const auto load = [&] {
            form.loadCases();
            QCoreApplication::processEvents();
        };
        const double unsorted = bestOf(size >= 1000000 ? 1 : 3, load);
        if (list->rows().count() != size) {
            std::fprintf(stderr, "the list holds %d rows, not %d\n", list->rows().count(), size);
            return 1;
        }
        // A header click on "Title" sorts; the clicks alternate the order, each a full sort.
        const double click = bestOf(3, [&] {
            form.sortByColumn(2);
            QCoreApplication::processEvents();
        });
        const double sorted = bestOf(size >= 1000000 ? 1 : 3, load);
        // Typed into the list as it was just loaded, sorted by title: the find field filters
        // without sorting again.
        std::array<Keystrokes, kTyped.size()> find;
        for (size_t i = 0; i < kTyped.size(); ++i) {
            find[i] = typeIntoFind(form, QString::fromLatin1(kTyped[i]));
        }
        programPeak = peakMemoryKiB();
        const double plain = bestOf(size >= 1000000 ? 1 : 3, [&] { plainRead(db); });
        std::printf("%9d %10.1fms %10.1fms %8.2f %12.1fms %8.2f %8.1fms\n", size, plain, unsorted,
                    unsorted / plain, sorted, sorted / plain, click);
        std::printf(
            "%9s   start-up to the painted window %.1f ms, sqlite3 shell %.1f ms: ratio "
            "%.2f\n",
            "", startUp.milliseconds, shell, startUp.milliseconds / shell);
        std::printf("%9s   memory with the list filled %.1f MB (peak of the start-up %.1f MB)\n",
                    "", startUp.filledKiB / 1024.0, startUp.peakKiB / 1024.0);
        std::printf(
            "%9s   reading ahead, processor time: %.1f ms multi-thread mode, %.1f ms serialized\n",
            "", readAheadSteppingMs(database, SQLITE_OPEN_NOMUTEX),
            readAheadSteppingMs(database, SQLITE_OPEN_FULLMUTEX));
        for (size_t i = 0; i < kTyped.size(); ++i) {
            std::printf("%9s   find keystroke, \"%s\" typed: slowest %.1f ms, mean %.1f ms\n", "",
                        kTyped[i], find[i].slowest, find[i].mean);
        }
        std::fflush(stdout);
        form.shutDown();
        if (prompts.boxes != 0) {
            return 1;
        }
    }
    std::printf("peak memory of the program with the largest list: %.1f MB\n",
                programPeak / 1024.0);
    benchmarkChangeLog(programFolder, {}, largest);

    // The report: databases of 10 000 and 100 000 open cases; the PDF of the smaller one. A
    // HELVARINE_BENCH_SKIP_REPORTS run measures the case list only.
    if (qEnvironmentVariableIsSet("HELVARINE_BENCH_SKIP_REPORTS")) {
        return 0;
    }
    SilentPrompts prompts;
    for (int size : {10000, 100000}) {
        if (size > largest) {
            break;
        }
        QTemporaryDir root;
        const QString database = root.path() + QStringLiteral("/dbData.mdb");
        QFile::copy(programFolder + QStringLiteral("/dbBlank.mdb"), database);
        QFile::setPermissions(database, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        CaseStore::createShared();
        CaseStore::shared().openFile(database);
        populate(CaseStore::shared().handle(), size, 0);
        benchmarkCaseDetails(CaseStore::shared().handle(), prompts,
                             qEnvironmentVariable("HELVARINE_BENCH_PDF",
                                                  root.path() + QStringLiteral("/details.pdf")),
                             size <= 10000);
        CaseStore::releaseShared();
    }
    return prompts.boxes == 0 ? 0 : 1;
}
