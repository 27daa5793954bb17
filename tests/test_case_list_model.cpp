// The case list's model under Qt's own model checker, through every way the list changes: the
// columns, a refill, header clicks, a cell changed in place, an emptied list. Then the compact
// rows of a long list (shared and packed columns) against plain texts: what they show, how they
// sort and what the find field finds among them, also while the list changes beside the finder.

#include <QAbstractItemModelTester>
#include <QTest>
#include <algorithm>
#include <limits>
#include <memory>
#include <string_view>

#include "case_finder.h"
#include "date_text.h"
#include "main_window.h"
#include "record_set.h"
#include "report_list.h"
#include "scripted_prompts.h"
#include "shared_array.h"
#include "test_environment.h"
#include "text_interner.h"

namespace {

using SortKind = ReportListModel::SortKind;

// More rows than a shared column holds different texts, so that the unique texts are packed.
constexpr int kLongList = 70000;

// Texts whose order or encoding is easy to get wrong: letter case, accents, astral characters
// (which QString orders before U+E000..U+FFFF), a lone surrogate, a NUL, prefixes, empties.
QStringList awkwardTexts() {
    return {QStringLiteral("\u00c9lan"),
            QStringLiteral("\u00e9lan"),
            QStringLiteral("ELAN"),
            QStringLiteral("elan"),
            QString::fromUtf16(u"\U0001F600 face"),
            QString::fromUtf16(u"\uFFFD mark"),
            QString::fromUtf16(u"\uE000 private"),
            QString(QChar(0xD800)) + QStringLiteral(" lone"),
            QStringLiteral("ab"),
            QString::fromUtf16(u"ab\u0000", 3),
            QStringLiteral("abc"),
            QString(),
            QString(),
            QStringLiteral("Stra\u00dfe"),
            QStringLiteral("STRASSE"),
            QStringLiteral(" 7"),
            QStringLiteral("-3"),
            QStringLiteral("+4"),
            QStringLiteral("x1")};
}

// Column 0 numbers (packed), 1 titles (packed), 2 dates (shared), 3 statuses (shared).
std::vector<QStringList> longListTexts() {
    std::vector<QStringList> columns(4);
    const QStringList awkward = awkwardTexts();
    for (int row = 0; row < kLongList; ++row) {
        const bool odd = row < awkward.size();
        columns[0].append(odd ? awkward[row] : QString::number((row * 7919) % 100003));
        columns[1].append(odd ? awkward[row] : QStringLiteral("Title %1").arg(row % 66000));
        columns[2].append(
            row % 5 == 0 ? QString()
            : row % 7 == 0
                ? QStringLiteral("no date")
                : QStringLiteral("%1/%2/2026 10:00:00").arg(row % 12 + 1).arg(row % 28 + 1));
        columns[3].append(odd ? awkward[row] : QStringLiteral("Status %1").arg(row % 9));
    }
    return columns;
}

// Numbered: each text comes numbered among its column's own shared texts (none for empty
// texts), as the record set numbers the texts it reads, by the bytes they were made from.
void fill(ReportListModel& model, const std::vector<QStringList>& columns, bool numbered = false) {
    ReportListModel::Batch batch(model);
    for (int row = 0; row < kLongList; ++row) {
        if (numbered) {
            model.addNumberedRow([&](size_t column, TextInterner* shared) {
                const QString& text = columns[column][row];
                RecordSet::NumberedText cell;
                const TextInterner::Shared found =
                    shared == nullptr || text.isEmpty()
                        ? TextInterner::Shared{}
                        : shared->find(
                              std::string_view(reinterpret_cast<const char*>(text.constData()),
                                               static_cast<size_t>(text.size()) * 2),
                              [&] { return text; });
                cell.number = found.number;
                cell.shared = found.text;
                cell.own = found.text == nullptr ? text : QString();
                return cell;
            });
            continue;
        }
        std::vector<QString> texts;
        for (const QStringList& column : columns) {
            texts.push_back(column[row]);
        }
        model.addRow(texts);
    }
}

// The order a list sorts in, as plain texts sort: equal keys in stored order.
std::vector<int> expectedOrder(const QStringList& texts, SortKind kind, Qt::SortOrder order) {
    std::vector<int> rows(static_cast<size_t>(texts.size()));
    for (size_t row = 0; row < rows.size(); ++row) {
        rows[row] = static_cast<int>(row);
    }
    const DateFormatter dates;
    std::vector<QString> folded;
    std::vector<qint64> numbers;
    for (const QString& text : texts) {
        bool ok = false;
        const qint64 number = text.toLongLong(&ok);
        folded.push_back(text.toCaseFolded());
        numbers.push_back(text.isEmpty() ? std::numeric_limits<qint64>::min()
                          : kind == SortKind::Number
                              ? (ok ? number : std::numeric_limits<qint64>::min())
                              : dates.sortKey(text).value_or(std::numeric_limits<qint64>::min()));
    }
    const auto less = [&](int a, int b) {
        const auto i = static_cast<size_t>(a);
        const auto j = static_cast<size_t>(b);
        return kind == SortKind::Text ? folded[i] < folded[j] : numbers[i] < numbers[j];
    };
    if (order == Qt::AscendingOrder) {
        std::stable_sort(rows.begin(), rows.end(), less);
    } else {
        std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) { return less(b, a); });
    }
    return rows;
}

}  // namespace

class TestCaseListModel : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void modelKeepsQtsProtocol() {
        ReportListModel model;
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.addColumn(QStringLiteral("ID"), ReportListModel::SortKind::Number);
        model.addColumn(QStringLiteral("Due Date"), ReportListModel::SortKind::Date);
        {
            ReportListModel::Batch batch(model);
            for (int i = 12; i > 0; --i) {
                const int row = model.addRow(QString::number(i));
                model.setSubItem(row, 1,
                                 i % 3 == 0 ? QString() : QStringLiteral("12/%1/2026").arg(i));
            }
        }
        model.sort(0, Qt::AscendingOrder);
        QCOMPARE(model.data(model.index(0, 0), Qt::DisplayRole).toString(), QStringLiteral("1"));
        model.sort(1, Qt::DescendingOrder);
        QCOMPARE(model.data(model.index(0, 1), Qt::DisplayRole).toString(),
                 QStringLiteral("12/11/2026"));
        model.setSubItem(0, 1, QStringLiteral("1/1/2030"));  // changes the sorted column in place
        QCOMPARE(model.data(model.index(0, 1), Qt::DisplayRole).toString(),
                 QStringLiteral("1/1/2030"));
        // Filtered: the rows let through, in the sorted order, through a sort and a change.
        model.setFilter([](int row) { return row % 2 == 0; });  // IDs 12, 10, ..., 2
        QCOMPARE(model.rowCount(), 6);
        QCOMPARE(model.storedCount(), 12);
        model.sort(0, Qt::AscendingOrder);
        QCOMPARE(model.text(0, 0), QStringLiteral("2"));
        model.setSubItem(1, 1, QStringLiteral("1/1/2031"));  // a hidden row changes
        model.setSubItem(0, 1, QStringLiteral("1/1/2031"));
        QCOMPARE(model.positionOf(1), -1);
        QCOMPARE(model.text(model.positionOf(0), 1), QStringLiteral("1/1/2031"));
        model.setFilter({});
        QCOMPARE(model.rowCount(), 12);
        model.addRow(QStringLiteral("13"));
        QCOMPARE(model.rowCount(), 13);
        model.removeAllRows();
        QCOMPARE(model.rowCount(), 0);
    }

    void caseListKeepsItThroughTheWindow() {
        TestEnvironment env;
        env.openDatabase();
        for (int i = 0; i < 5; ++i) {
            execute(QStringLiteral("insert into Cases (Title) values ('case %1')").arg(i));
        }
        env.closeDatabase();
        ScriptedPrompts prompts;
        MainWindow form(prompts, env.settings(), TestEnvironment::programFolder());
        form.load();
        auto* list = form.findChild<ReportListView*>(QStringLiteral("ListView1"));
        QVERIFY(list != nullptr);
        QAbstractItemModelTester tester(&list->rows(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        for (int column : {1, 1, 2, 8}) {
            form.sortByColumn(column);
        }
        form.loadCases();
        QCOMPARE(list->rows().rowCount(), 5);
        expectNothingUnexpected(prompts);
    }

    void keepsEveryTextAndSortsAsTheTextsDo_data() {
        QTest::addColumn<bool>("numbered");
        QTest::newRow("texts") << false;
        QTest::newRow("numbered texts") << true;
    }

    void keepsEveryTextAndSortsAsTheTextsDo() {
        QFETCH(bool, numbered);
        const std::vector<QStringList> columns = longListTexts();
        ReportListModel model;
        const SortKind kinds[] = {SortKind::Number, SortKind::Text, SortKind::Date, SortKind::Text};
        for (const SortKind kind : kinds) {
            model.addColumn(QStringLiteral("Column"), kind);
        }
        fill(model, columns, numbered);
        QVERIFY(!model.columnTexts(0).shared());
        QVERIFY(!model.columnTexts(1).shared());
        QVERIFY(model.columnTexts(2).shared());
        for (int column = 0; column < 4; ++column) {
            for (int row = 0; row < kLongList; ++row) {
                if (model.text(row, column) != columns[static_cast<size_t>(column)][row]) {
                    QFAIL(qPrintable(QStringLiteral("row %1, column %2: '%3'")
                                         .arg(row)
                                         .arg(column)
                                         .arg(model.text(row, column))));
                }
            }
        }
        for (int column = 0; column < 4; ++column) {
            for (const Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
                model.sort(column, order);
                const std::vector<int> expected =
                    expectedOrder(columns[static_cast<size_t>(column)], kinds[column], order);
                for (int position = 0; position < kLongList; ++position) {
                    if (model.rowAt(position) != expected[static_cast<size_t>(position)]) {
                        QFAIL(qPrintable(QStringLiteral("column %1 order %2: position %3")
                                             .arg(column)
                                             .arg(order)
                                             .arg(position)));
                    }
                }
            }
        }
        // A packed cell changed in place, in the middle of the list and at its end.
        model.setSubItem(5, 1, QStringLiteral("Changed"));
        model.setSubItem(kLongList - 1, 1, QString::fromUtf16(u"\u00c4nderung"));
        QCOMPARE(model.text(model.positionOf(5), 1), QStringLiteral("Changed"));
        QCOMPARE(model.text(model.positionOf(kLongList - 1), 1),
                 QString::fromUtf16(u"\u00c4nderung"));
        QCOMPARE(model.text(model.positionOf(6), 1), columns[1][6]);
        QCOMPARE(model.positionOfText(columns[0][kLongList - 2]), model.positionOf(kLongList - 2));
    }

    void findsEveryWordWithinTheCellsOfOneRow() {
        std::vector<QStringList> columns = longListTexts();
        for (int row = 0; row < kLongList; row += 3) {
            columns[3][row] = QStringLiteral("\u00dcn\u00efcode Closed");
        }
        ReportListModel model;
        for (size_t column = 0; column < columns.size(); ++column) {
            model.addColumn(QStringLiteral("Column"));
        }
        fill(model, columns);
        std::vector<bool> overdue;
        for (int row = 0; row < kLongList; ++row) {
            overdue.push_back(row % 11 == 0);
        }
        CaseFinder finder;
        finder.index(model.snapshot(), overdue);
        std::vector<QStringList> folded(columns.size());
        for (size_t column = 0; column < columns.size(); ++column) {
            for (const QString& text : columns[column]) {
                folded[column].append(CaseFinder::fold(text));
            }
        }
        // "56" and "5title" would match across two rows' texts kept one after another.
        QStringList queries = {QStringLiteral("56"),
                               QStringLiteral("5title"),
                               QStringLiteral("TITLE 6599"),
                               QStringLiteral("unicode 12"),
                               QStringLiteral("overdue closed"),
                               QStringLiteral("elan"),
                               QStringLiteral("strasse"),
                               QStringLiteral("t ").repeated(70) + QStringLiteral("9")};
        // Typed letter by letter, each query narrowing the last, then a letter taken back.
        const QString typed = QStringLiteral("status 8 title 659");
        for (qsizetype length = 1; length <= typed.size(); ++length) {
            queries.append(typed.left(length));
        }
        queries.append(typed.chopped(1));
        for (const QString& query : queries) {
            finder.setQuery(query);
            QVERIFY(finder.active());
            QStringList words = CaseFinder::fold(query).simplified().split(QLatin1Char(' '));
            const bool onlyOverdue = words.removeAll(QStringLiteral("overdue")) > 0;
            int found = 0;
            for (int row = 0; row < kLongList; ++row) {
                bool expected = !onlyOverdue || overdue[static_cast<size_t>(row)];
                for (const QString& word : words) {
                    expected = expected && std::any_of(folded.begin(), folded.end(),
                                                       [&](const QStringList& column) {
                                                           return column[row].contains(word);
                                                       });
                }
                if (finder.accepts(row) != expected) {
                    QFAIL(qPrintable(QStringLiteral("'%1', row %2").arg(query).arg(row)));
                }
                found += expected ? 1 : 0;
            }
            QVERIFY2(found > 0 || query == QStringLiteral("5title") ||
                         query.startsWith(QStringLiteral("status 8 title 659")),
                     qPrintable(query));
        }
    }

    // A column numbers the texts a record set reads by the bytes they were stored as, and the
    // texts it is given by themselves: a date stored as "2026-01-05" and shown as "1/5/2026" is
    // not the text "2026-01-05" given later.
    void keepsStoredBytesAndTextsApart() {
        ReportListModel model;
        model.addColumn(QStringLiteral("Due Date"), SortKind::Date);
        const QString shown = QStringLiteral("1/5/2026");
        const QString storedText = QStringLiteral("2026-01-05");
        const QByteArray stored = storedText.toLatin1();
        const auto addStored = [&] {
            model.addNumberedRow([&](size_t, TextInterner* shared) {
                RecordSet::NumberedText cell;
                const TextInterner::Shared found = shared->find(
                    std::string_view(stored.constData(), static_cast<size_t>(stored.size())),
                    [&] { return shown; });
                cell.number = found.number;
                cell.shared = found.text;
                return cell;
            });
        };
        addStored();
        model.addRow(std::vector<QString>{storedText});
        addStored();
        model.addRow(std::vector<QString>{shown});
        QVERIFY(model.columnTexts(0).shared());
        for (int row = 0; row < 4; ++row) {
            QCOMPARE(model.text(model.positionOf(row), 0), row == 1 ? storedText : shown);
        }
    }

    // Copies of a column's array share its memory and each reads what it held when it was made:
    // appending goes beyond every copy, and only where no copy appended already; a value replaced,
    // or the array shortened and grown again, goes to memory of its own.
    void arrayCopiesNeverSeeAChange() {
        SharedArray<int> grown;
        for (int value = 0; value < 10; ++value) {
            grown.push_back(value);
        }
        const SharedArray<int> kept = grown;
        grown.push_back(10);
        QCOMPARE(grown.data(), kept.data());  // appended in place
        SharedArray<int> other = kept;
        other.push_back(99);
        QCOMPARE(grown[10], 10);
        grown.set(0, -1);
        grown.shorten(2);
        grown.push_back(7);
        const auto values = [](const SharedArray<int>& array) {
            return std::vector<int>(array.begin(), array.end());
        };
        QCOMPARE(values(kept), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
        QCOMPARE(values(other), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 99}));
        QCOMPARE(values(grown), (std::vector<int>{-1, 1, 7}));
    }

    // The finder folds and searches the snapshot of the columns it was given, while the list
    // goes on: a row inserted, a text replaced, every row taken out and others filled in. It takes
    // the list's columns in place of its snapshot only while they continue it.
    void finderSearchesItsSnapshotWhileTheListChanges() {
        ReportListModel model;
        model.addColumn(QStringLiteral("ID"));
        model.addColumn(QStringLiteral("Title"));
        const auto row = [](int id, const QString& title) {
            return std::vector<QString>{QString::number(id), title};
        };
        constexpr int kRows = 1000;
        {
            ReportListModel::Batch batch(model);
            for (int id = 0; id < kRows; ++id) {
                model.addRow(row(id, QStringLiteral("Alpha %1").arg(id)));
            }
        }
        CaseFinder finder;
        finder.index(model.snapshot(), std::vector<bool>(kRows, false));
        // While the texts are folded: a row comes (the finder is told, as the live list does).
        const std::vector<QString> added = row(kRows, QStringLiteral("Bravo"));
        finder.add(model.nextRow(), added, false);
        model.insertRow(added);
        QVERIFY(finder.follow(model.snapshot()));
        finder.setQuery(QStringLiteral("bravo"));
        QVERIFY(finder.accepts(kRows));
        QVERIFY(!finder.accepts(7));

        model.setSubItem(7, 1, QStringLiteral("Bravo"));
        finder.setQuery(QStringLiteral("alpha 7"));
        QVERIFY(finder.accepts(7));  // as the snapshot has it
        QVERIFY(!finder.follow(model.snapshot()));

        model.removeAllRows();
        model.addRow(row(0, QStringLiteral("Charlie")));
        finder.setQuery(QStringLiteral("alpha 99"));
        QVERIFY(finder.accepts(99));
        QVERIFY(finder.accepts(990));
        QVERIFY(!finder.accepts(kRows));
    }
};

QTEST_MAIN(TestCaseListModel)
#include "test_case_list_model.moc"
