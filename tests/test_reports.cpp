// The band-report engine and the five layouts (what is placed where on which page), the PDF
// export, and the report chooser with its six entries.

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "band_report.h"
#include "case_statements.h"
#include "case_store.h"
#include "preview_pages.h"
#include "report_chooser.h"
#include "report_layout.h"
#include "report_preview.h"
#include "scripted_prompts.h"
#include "test_environment.h"
#include "window_controls.h"

namespace {

const QSizeF kLetter{15840, 12240};

void addCase(const QString& title, const QString& comments = QStringLiteral("Short"),
             const QString& resolved = QStringLiteral("NULL"), int assignedTo = 1) {
    execute(QStringLiteral("insert into Cases (Title,[Assigned To],[Opened By],[Opened Date],"
                           "Status,Category,Priority,Comments,[Due Date],KB,[Resolved Date],"
                           "Customer,[Call Time]) values ('%1',%4,2,'12/1/2026','Open','General',"
                           "'High','%2','12/24/2026','KB1',%3,1,'12/1/2026')")
                .arg(title, comments, resolved)
                .arg(assignedTo));
}

ReportData dataFor(const ReportLayout& layout, const QString& select) {
    RecordSet rows = CaseStore::shared().query(select);
    return ReportData::read(rows, layout);
}

// One column of a select's rows, in the select's order.
QStringList columnOf(const QString& select, const QString& column) {
    RecordSet rows = CaseStore::shared().query(select);
    QStringList texts;
    while (!rows.eof()) {
        texts.append(rows.text(column));
        rows.moveNext();
    }
    return texts;
}

const PlacedText* find(const std::vector<PlacedText>& texts, const QString& control, int page = 0) {
    for (const PlacedText& text : texts) {
        if (text.control == control && text.page == page) {
            return &text;
        }
    }
    return nullptr;
}

QImage render(const ReportPages& pages, int page) {
    QImage image(static_cast<int>(pages.pageSize.width() / 15),
                 static_cast<int>(pages.pageSize.height() / 15), QImage::Format_RGB32);
    image.setDotsPerMeterX(3780);  // 96 dpi: 15 twips a pixel
    image.setDotsPerMeterY(3780);
    image.fill(Qt::white);
    QPainter painter(&image);
    BandReport::drawPage(painter, pages, page);
    return image;
}

bool inkIn(const QImage& image, QRectF twips) {
    const QRect pixels =
        QRectF(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15)
            .toAlignedRect()
            .intersected(image.rect());
    for (int y = pixels.top(); y <= pixels.bottom(); ++y) {
        for (int x = pixels.left(); x <= pixels.right(); ++x) {
            if (qGray(image.pixel(x, y)) < 128) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace

class TestReports : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestEnvironment> m_env;
    ScriptedPrompts m_prompts;

private Q_SLOTS:
    void init() {
        m_env = std::make_unique<TestEnvironment>();
        m_env->openDatabase();
        execute(QStringLiteral(
            "insert into Employees ([First Name],[Last Name]) values ('John','Wilson')"));
        execute(QStringLiteral(
            "insert into Employees ([First Name],[Last Name]) values ('Daniel','Carter')"));
        execute(QStringLiteral(
            "insert into Customers ([First Name],[Last Name]) values ('Hanna','Simmons')"));
        m_prompts.clear();
    }

    void cleanup() {
        m_env.reset();
        expectNothingUnexpected(m_prompts);
    }

    void layoutsCarryTheirCaptionsAndPlaces_data() {
        QTest::addColumn<int>("report");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("captions");  // the page header's labels, in order
        QTest::addColumn<QString>("probe");         // one text box: name, field, left, width
        QTest::addColumn<QString>("field");
        QTest::addColumn<double>("left");
        QTest::addColumn<double>("width");
        QTest::newRow("rptOpenCases")
            << 0 << "Open Cases"
            << QStringList{"ID",       "Title",    "Assigned To", "Priority",   "Status",
                           "Category", "Due Date", "Opened By",   "Opened Date"}
            << "Text4"
            << "Due Date" << 8064.0 << 1161.0;
        QTest::newRow("rptCasesByCategory")
            << 1 << "Cases By Category"
            << QStringList{"Category", "Assigned To", "Title",     "Status",
                           "Due Date", "Priority",    "Opened By", "Opened Date"}
            << "Text2"
            << "Title" << 2880.0 << 2736.0;
        QTest::newRow("rptCasesByStatus")
            << 2 << "Cases By Status"
            << QStringList{"Status",   "Due Date", "Title",     "Assigned To",
                           "Priority", "Category", "Opened By", "Opened Date"}
            << "Text3"
            << "Status" << 0.0 << 1005.0;
        QTest::newRow("rptCasesByAssigned")
            << 3 << "Cases By Assigned To"
            << QStringList{"Assigned To", "Status",   "Title",     "Due Date",
                           "Priority",    "Category", "Opened By", "Opened Date"}
            << "Text7"
            << "Assigned To Name" << 0.0 << 1440.0;
        QTest::newRow("rptCaseDetails") << 4 << "Case Details" << QStringList{} << "Text10"
                                        << "Comments" << 0.0 << 9930.0;
    }

    void layoutsCarryTheirCaptionsAndPlaces() {
        QFETCH(int, report);
        QFETCH(QString, title);
        QFETCH(QStringList, captions);
        QFETCH(QString, probe);
        QFETCH(QString, field);
        QFETCH(double, left);
        QFETCH(double, width);
        using Make = ReportLayout (*)();
        const std::array<Make, 5> makers{
            &ReportLayouts::rptOpenCases, &ReportLayouts::rptCasesByCategory,
            &ReportLayouts::rptCasesByStatus, &ReportLayouts::rptCasesByAssigned,
            &ReportLayouts::rptCaseDetails};
        const ReportLayout layout = makers[static_cast<size_t>(report)]();
        QCOMPARE(layout.caption, title);
        QCOMPARE(layout.width, 11961.0);
        QCOMPARE(layout.bands[0].name, QStringLiteral("Section4"));
        QCOMPARE(layout.bands[2].name, QStringLiteral("Section1"));
        QCOMPARE(layout.titleLabel().name, QStringLiteral("Label1"));
        QCOMPARE(layout.titleLabel().caption, title);
        QCOMPARE(layout.titleLabel().left, 144.0);
        QCOMPARE(layout.titleLabel().font.pointSize, 15.75);
        QVERIFY(layout.titleLabel().font.bold && layout.titleLabel().font.italic);
        QStringList shown;
        for (const ReportControl& control : layout.bands[ReportLayout::PageHeader].controls) {
            shown.append(control.caption);
            QCOMPARE(control.font.pointSize, 8.25);
            QVERIFY(control.font.bold);
        }
        QCOMPARE(shown, captions);
        bool found = false;
        for (const ReportControl& control : layout.bands[ReportLayout::Detail].controls) {
            if (control.name == probe) {
                found = true;
                QCOMPARE(control.field, field);
                QCOMPARE(control.left, left);
                QCOMPARE(control.width, width);
                QVERIFY(!control.font.bold);
                QCOMPARE(control.grows, probe == QStringLiteral("Text10"));
            }
        }
        QVERIFY(found);
        QCOMPARE(layout.bands[ReportLayout::PageFooter].height, 0.0);
        QCOMPARE(layout.bands[ReportLayout::ReportFooter].height, report == 0 ? 570.0 : 0.0);

        // Laid out with one case: every caption and every field stands where the layout puts it,
        // inside the margins, below the title (and the page header).
        addCase(QStringLiteral("Placed"));
        const ReportPages pages = BandReport::layOut(
            layout, dataFor(layout, QStringLiteral("select * from [Open Cases]")), kLetter);
        const double pageHeaderTop = 1440 + layout.bands[ReportLayout::ReportHeader].height;
        const double detailTop = pageHeaderTop + layout.bands[ReportLayout::PageHeader].height;
        for (const int band : {int(ReportLayout::PageHeader), int(ReportLayout::Detail)}) {
            const double top = band == ReportLayout::PageHeader ? pageHeaderTop : detailTop;
            for (const ReportControl& control : layout.bands[static_cast<size_t>(band)].controls) {
                const PlacedText* placed = find(pages.texts, control.name);
                QVERIFY2(placed, qPrintable(control.name));
                QCOMPARE(placed->rect.topLeft(), QPointF(1440 + control.left, top + control.top));
                QCOMPARE(placed->rect.width(), control.width);
                if (control.kind == ReportControl::Kind::Label) {
                    QCOMPARE(placed->text(), control.caption);
                }
            }
        }
        QCOMPARE(find(pages.texts, QStringLiteral("Text2"))->text(), QStringLiteral("Placed"));
    }

    void emptyRecordSetGivesTheHeadersOnly() {
        const ReportLayout layout = ReportLayouts::rptOpenCases();
        const ReportPages pages = BandReport::layOut(
            layout, dataFor(layout, QStringLiteral("select * from [Open Cases] order by Title")),
            kLetter);
        QCOMPARE(pages.pageCount, 1);
        QCOMPARE(pages.texts.size(), size_t{10});  // the title and nine column captions
        const PlacedText* title = find(pages.texts, QStringLiteral("Label1"));
        QVERIFY(title);
        QCOMPARE(title->text(), QStringLiteral("Open Cases"));
        QCOMPARE(title->rect, QRectF(1440 + 144, 1440, 4032, 432));  // inside the margins
        const PlacedText* caption = find(pages.texts, QStringLiteral("Label10"));
        QCOMPARE(caption->rect, QRectF(1440 + 10656, 1440 + 432, 1296, 240));
        QCOMPARE(caption->text(), QStringLiteral("Opened Date"));
    }

    void detailRowsFollowTheRecordSetAndBreakPages() {
        for (int i = 0; i < 60; ++i) {
            addCase(QStringLiteral("Case %1").arg(i, 2, 10, QLatin1Char('0')));
        }
        const ReportLayout layout = ReportLayouts::rptOpenCases();
        const ReportPages pages = BandReport::layOut(
            layout,
            dataFor(layout, QStringLiteral("select * from [Open Cases] order by Title desc")),
            kLetter);
        // Letter landscape: 12240 - 2 * 1440 = 9360 twips a page; page 1 holds the title (432),
        // the captions (330) and 23 rows of 360, every later page the captions and 25 rows.
        const auto titles = pages.ofControl(QStringLiteral("Text2"));
        QCOMPARE(titles.size(), size_t{60});
        QCOMPARE(titles.front().text(), QStringLiteral("Case 59"));
        QCOMPARE(titles.front().rect.top(), 1440.0 + 432 + 330);
        QCOMPARE(titles[22].page, 0);
        QCOMPARE(titles[23].page, 1);
        QCOMPARE(titles[23].rect.top(), 1440.0 + 330);
        QCOMPARE(titles[48].page, 2);
        QCOMPARE(pages.pageCount, 3);
        // The page header stands at the top of every page; the report header only on the first.
        for (int page = 1; page < pages.pageCount; ++page) {
            const PlacedText* caption = find(pages.texts, QStringLiteral("Label3"), page);
            QVERIFY(caption);
            QCOMPARE(caption->rect.top(), 1440.0);
            QVERIFY(!find(pages.texts, QStringLiteral("Label1"), page));
        }
        for (const PlacedText& text : pages.texts) {
            QVERIFY(text.rect.bottom() <= 12240 - 1440);
        }
        // Dates in the short date form, numbers in plain decimal.
        QCOMPARE(find(pages.texts, QStringLiteral("Text4"))->text(), QStringLiteral("12/24/2026"));
        QCOMPARE(find(pages.texts, QStringLiteral("Text1"))->text(), QStringLiteral("60"));
    }

    void longTitleIsCutAtItsBox() {
        execute(QStringLiteral("insert into Cases (Title,[Assigned To],[Opened By],[Opened Date],"
                               "Status,Customer) values ('%1',99,2,'12/1/2026','Open',1)")
                    .arg(QStringLiteral("W").repeated(300)));
        const ReportLayout layout = ReportLayouts::rptOpenCases();
        const ReportPages pages = BandReport::layOut(
            layout, dataFor(layout, QStringLiteral("select * from [Open Cases]")), kLetter);
        const PlacedText* title = find(pages.texts, QStringLiteral("Text2"));
        QCOMPARE(title->lines.size(), 1);  // never wrapped
        QCOMPARE(title->rect.width(), 2016.0);
        const QImage page = render(pages, 0);
        QVERIFY(inkIn(page, title->rect));
        // The next box (Assigned To, empty for a deleted employee) stays blank.
        const PlacedText* next = find(pages.texts, QStringLiteral("Text7"));
        QVERIFY(next->text().trimmed().isEmpty());
        QVERIFY(!inkIn(page, next->rect.adjusted(30, 0, 0, 0)));
    }

    void longCommentGrowsItsBoxAndPushesTheNextBlockDown() {
        addCase(QStringLiteral("A first"), QStringLiteral("word ").repeated(400));
        addCase(QStringLiteral("B second"));
        const ReportLayout layout = ReportLayouts::rptCaseDetails();
        const ReportPages pages = BandReport::layOut(
            layout, dataFor(layout, QStringLiteral("select * from [Open Cases] order by Title")),
            kLetter);
        const auto comments = pages.ofControl(QStringLiteral("Text10"));
        QCOMPARE(comments.size(), size_t{2});
        const PlacedText& grown = comments.front();
        QVERIFY(grown.lines.size() > 5);
        QCOMPARE(grown.rect.top(), 1440.0 + 432 + 1728);
        QCOMPARE(grown.rect.height(), grown.lines.size() * grown.lineHeight);
        QCOMPARE(grown.lines.join(QLatin1Char(' ')).simplified(),
                 QStringLiteral("word ").repeated(400).simplified());
        const auto cases = pages.ofControl(QStringLiteral("Text1"));
        const double growth = grown.rect.height() - 288;
        QCOMPARE(cases[1].rect.top(), cases[0].rect.top() + 2130 + growth);
        QCOMPARE(comments[1].lines, QStringList{QStringLiteral("Short")});
        QCOMPARE(comments[1].rect.height(), 288.0);
    }

    void commentLongerThanAPageContinuesOnTheNext() {
        addCase(QStringLiteral("Huge"), QStringLiteral("line\n").repeated(400));
        const ReportLayout layout = ReportLayouts::rptCaseDetails();
        const ReportPages pages = BandReport::layOut(
            layout, dataFor(layout, QStringLiteral("select * from [Open Cases]")), kLetter);
        QVERIFY(pages.pageCount > 2);
        qsizetype lines = 0;
        for (const PlacedText& part : pages.ofControl(QStringLiteral("Text10"))) {
            lines += part.lines.size();
            QVERIFY(part.rect.bottom() <= 12240 - 1440 + 0.001);
        }
        QCOMPARE(lines, 401);  // every line, the last one empty after the final break
    }

    void paperFollowsTheLocale() {
        QCOMPARE(BandReport::preferredLandscapePaper(), kLetter);
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const QSizeF a4 = BandReport::preferredLandscapePaper();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QVERIFY(qAbs(a4.width() - 16838) < 2 && qAbs(a4.height() - 11906) < 2);
        PreviewPrinter preview;
        QCOMPARE(preview.printer.pageLayout().orientation(), QPageLayout::Landscape);
    }

    void pdfExportHoldsTheText() {
        addCase(QStringLiteral("Printer on fire"));
        // A title cut by its column leaves nothing of its hidden part in the file.
        addCase(QStringLiteral("Scanner ") + QStringLiteral("jams ").repeated(10) +
                QStringLiteral("HIDDENTAIL"));
        const ReportLayout layout = ReportLayouts::rptOpenCases();
        ReportPreview preview(m_prompts, layout,
                              dataFor(layout, QStringLiteral("select * from [Open Cases]")));
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("open.pdf"));
        m_prompts.chooseFile(folder.filePath(QStringLiteral("open")));
        m_prompts.answer(Prompts::Answer::Ok);
        preview.ExportPdf_Click();
        QCOMPARE(m_prompts.fileCaptions(), QStringList{QStringLiteral("Export PDF")});
        QCOMPARE(m_prompts.texts(), QStringList{"1 page was written to " + path});
        QProcess pdftotext;
        pdftotext.start(QStringLiteral("pdftotext"),
                        {QStringLiteral("-layout"), path, QStringLiteral("-")});
        QVERIFY2(pdftotext.waitForFinished(20000), "pdftotext (poppler-utils) must be installed");
        const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
        QVERIFY2(text.contains(QStringLiteral("Open Cases")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("Printer on fire")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("John Wilson")));
        QVERIFY2(text.contains(QStringLiteral("Scanner jams")), qPrintable(text));
        QVERIFY2(!text.contains(QStringLiteral("HIDDENTAIL")), qPrintable(text));
        QProcess info;
        info.start(QStringLiteral("pdfinfo"), {path});
        QVERIFY(info.waitForFinished(20000));
        const QString details = QString::fromUtf8(info.readAllStandardOutput());
        QVERIFY2(details.contains(QStringLiteral("792 x 612 pts")),
                 qPrintable(details));  // Letter, landscape
    }

    // The preview draws only the pages in view, opens at the first one, and pages and zooms
    // from its tool bar.
    void previewDrawsWhatIsSeenAndPagesThrough() {
        CaseStore::shared().transaction([] {
            for (int n = 0; n < 600; ++n) {
                addCase(QStringLiteral("Case %1").arg(n));
            }
        });
        const ReportLayout layout = ReportLayouts::rptOpenCases();
        ReportPreview preview(m_prompts, layout,
                              dataFor(layout, QStringLiteral("select * from [Open Cases]")));
        preview.show();
        QVERIFY(QTest::qWaitForWindowExposed(&preview));
        PreviewPages& view = preview.view();
        const int pages = preview.pages().pageCount;
        QVERIFY(pages > 20);
        QTRY_VERIFY(view.pagesDrawn() > 0);
        QVERIFY2(view.pagesDrawn() <= 4, qPrintable(QString::number(view.pagesDrawn())));
        QCOMPARE(view.currentPage(), 0);
        QCOMPARE(control<QLabel>(preview, "PageCount")->text(),
                 QStringLiteral(" of %1 ").arg(pages));
        const auto trigger = [&](const char* name) {
            control<QAction>(preview, name)->trigger();
            QCoreApplication::processEvents();
        };
        trigger("NextPage");
        QCOMPARE(view.currentPage(), 1);
        QCOMPARE(control<QSpinBox>(preview, "PageNumber")->value(), 2);
        trigger("LastPage");
        QCOMPARE(view.currentPage(), pages - 1);
        control<QSpinBox>(preview, "PageNumber")->setValue(5);
        QCOMPARE(view.currentPage(), 4);
        const double fitted = view.zoom();
        trigger("ZoomIn");
        QVERIFY(view.zoom() > fitted);
        QCOMPARE(view.fit(), PreviewPages::Fit::None);
        QCOMPARE(view.currentPage(), 4);  // zooming keeps the page
        trigger("FitPage");
        QVERIFY(view.zoom() < fitted);
        trigger("TwoPages");
        QCOMPARE(view.pagesAcross(), 2);
        const qint64 before = view.pagesDrawn();
        view.viewport()->repaint();
        QVERIFY(view.pagesDrawn() - before <= 6);
        QTest::keyClick(&view, Qt::Key_Escape);
        QVERIFY(!preview.isVisible());
    }

    // Print goes through the platform's print dialog, then draws every page on its printer.
    void printDrawsEveryPageOnThePrinterChosen() {
        for (int n = 0; n < 60; ++n) {
            addCase(QStringLiteral("Case %1").arg(n));
        }
        const ReportLayout layout = ReportLayouts::rptOpenCases();
        ReportPreview preview(m_prompts, layout,
                              dataFor(layout, QStringLiteral("select * from [Open Cases]")));
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("printed.pdf"));
        m_prompts.onModal([&](QDialog& dialog) {
            QCOMPARE(dialog.objectName(), QStringLiteral("PrintDialog"));
            preview.printer().setOutputFileName(path);
            dialog.setResult(QDialog::Accepted);
        });
        control<QAction>(preview, "Print")->trigger();
        QProcess info;
        info.start(QStringLiteral("pdfinfo"), {path});
        QVERIFY(info.waitForFinished(20000));
        const QString details = QString::fromUtf8(info.readAllStandardOutput());
        QVERIFY2(details.contains(QRegularExpression(
                     QStringLiteral("Pages: +%1\n").arg(preview.pages().pageCount))),
                 qPrintable(details));
        QVERIFY2(details.contains(QStringLiteral("792 x 612 pts")), qPrintable(details));
    }

    void pdfExportToAnUnwritablePlaceIsReported() {
        const ReportLayout layout = ReportLayouts::rptOpenCases();
        ReportPreview preview(m_prompts, layout, ReportData{});
        m_prompts.chooseFile(QStringLiteral("/nonexistent-folder/report.pdf"));
        m_prompts.answer(Prompts::Answer::Ok);
        preview.ExportPdf_Click();
        QCOMPARE(m_prompts.boxes().size(), size_t{1});
        QVERIFY(m_prompts.texts()[0].contains(QStringLiteral("/nonexistent-folder/report.pdf")));
        QVERIFY(m_prompts.texts()[0].contains(QStringLiteral("at line 102")));
    }
};

// The chooser: its entries, the statement each sends, the titles, what stays after a preview.
class TestReportChooser : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestEnvironment> m_env;
    ScriptedPrompts m_prompts;
    QStringList m_selects;

private Q_SLOTS:
    void init() {
        m_env = std::make_unique<TestEnvironment>();
        m_env->openDatabase();
        execute(QStringLiteral(
            "insert into Employees ([First Name],[Last Name]) values ('John','Wilson')"));
        execute(QStringLiteral(
            "insert into Employees ([First Name],[Last Name]) values ('Daniel','Carter')"));
        execute(QStringLiteral(
            "insert into Customers ([First Name],[Last Name]) values ('Hanna','Simmons')"));
        addCase(QStringLiteral("Still open"));
        addCase(QStringLiteral("Done and dusted"), QStringLiteral("x"),
                QStringLiteral("'12/5/2026'"));
        m_prompts.clear();
        m_selects.clear();
        CaseStore::shared().setStatementObserver([this](const QString& s) { m_selects.append(s); });
    }

    void cleanup() {
        m_env.reset();
        expectNothingUnexpected(m_prompts);
    }

    void opensWithSixEntriesAndNoneSelected() {
        ReportChooser chooser(m_prompts, TestEnvironment::programFolder());
        chooser.load();
        QCOMPARE(chooser.windowTitle(), QStringLiteral("Reports"));
        QCOMPARE(control<QGroupBox>(chooser, QStringLiteral("Frame1"))->title(),
                 QStringLiteral("Report Type"));
        QStringList entries;
        for (int i = 0; i < control<QComboBox>(chooser, QStringLiteral("Combo1"))->count(); ++i) {
            entries.append(control<QComboBox>(chooser, QStringLiteral("Combo1"))->itemText(i));
        }
        QCOMPARE(entries, (QStringList{"Open Cases", "Cases by Categories", "Cases by Status",
                                       "Cases by Assigned To", "Case Details", "Closed Cases"}));
        QCOMPARE(control<QComboBox>(chooser, QStringLiteral("Combo1"))->currentIndex(), -1);
        QCOMPARE(control<QComboBox>(chooser, QStringLiteral("Combo1"))->accessibleName(),
                 QStringLiteral("Report Type"));
        QCOMPARE(control<QPushButton>(chooser, QStringLiteral("PushButton1"))->text(),
                 QStringLiteral("Print Preview"));
        QCOMPARE(control<QPushButton>(chooser, QStringLiteral("PushButton2"))->text(),
                 QStringLiteral("Cancel"));
        // Nothing selected: nothing happens.
        control<QPushButton>(chooser, QStringLiteral("PushButton1"))->click();
        QVERIFY(m_prompts.boxes().empty());
        QVERIFY(m_prompts.modalWindows().isEmpty());
        QVERIFY(m_selects.isEmpty());
    }

    void eachEntrySendsItsStatementAndShowsItsReport_data() {
        QTest::addColumn<int>("entry");
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("layout");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("listed");
        QTest::newRow("open") << 0 << "select * from [Open Cases] order by Title"
                              << "rptOpenCases"
                              << "Open Cases"
                              << "Still open";
        QTest::newRow("categories") << 1 << "select * from [Open Cases] order by Category"
                                    << "rptCasesByCategory"
                                    << "Cases By Category"
                                    << "Still open";
        QTest::newRow("status") << 2 << "select * from [Open Cases] order by Status"
                                << "rptCasesByStatus"
                                << "Cases By Status"
                                << "Still open";
        QTest::newRow("assigned") << 3 << "select * from [Open Cases] order by [Assigned To Name]"
                                  << "rptCasesByAssigned"
                                  << "Cases By Assigned To"
                                  << "Still open";
        QTest::newRow("details") << 4 << "select * from [Open Cases] order by Title"
                                 << "rptCaseDetails"
                                 << "Case Details"
                                 << "Still open";
        QTest::newRow("closed") << 5 << "select * from [Closed Cases] order by Title"
                                << "rptOpenCases"
                                << "Closed Cases"
                                << "Done and dusted";
    }

    void eachEntrySendsItsStatementAndShowsItsReport() {
        QFETCH(int, entry);
        QFETCH(QString, statement);
        QFETCH(QString, layout);
        QFETCH(QString, title);
        QFETCH(QString, listed);
        ReportChooser chooser(m_prompts, TestEnvironment::programFolder());
        chooser.load();
        control<QComboBox>(chooser, QStringLiteral("Combo1"))->setCurrentIndex(entry);
        m_prompts.onModal([&](QDialog& window) {
            auto& preview = static_cast<ReportPreview&>(window);
            QCOMPARE(preview.windowTitle(), title);
            QCOMPARE(preview.layout().name, layout);
            QCOMPARE(preview.layout().titleLabel().caption, title);
            QCOMPARE(preview.printer().pageLayout().orientation(), QPageLayout::Landscape);
            const ReportPages pages = preview.pagesForPrinter();
            QCOMPARE(find(pages.texts, QStringLiteral("Label1"))->text(), title);
            QCOMPARE(find(pages.texts, QStringLiteral("Text2"))->text(), listed);
            QCOMPARE(pages.ofControl(QStringLiteral("Text2")).size(), size_t{1});
            preview.reject();
        });
        control<QPushButton>(chooser, QStringLiteral("PushButton1"))->click();
        QCOMPARE(m_selects, QStringList{statement});
        QCOMPARE(m_prompts.modalWindows(), QStringList{QStringLiteral("ReportPreview")});
        // The chooser stays open with its entry.
        QCOMPARE(control<QComboBox>(chooser, QStringLiteral("Combo1"))->currentIndex(), entry);
        QCOMPARE(chooser.result(), 0);
    }

    // Each report's statement orders its texts without regard to letter case, as the case list
    // does; so do the people pick lists.
    void reportsOrderTextsIgnoringLetterCase_data() {
        QTest::addColumn<int>("entry");
        QTest::addColumn<QString>("column");
        QTest::newRow("open") << 0 << "Title";
        QTest::newRow("categories") << 1 << "Category";
        QTest::newRow("status") << 2 << "Status";
        QTest::newRow("assigned") << 3 << "Assigned To Name";
        QTest::newRow("details") << 4 << "Title";
        QTest::newRow("closed") << 5 << "Title";
    }
    void reportsOrderTextsIgnoringLetterCase() {
        QFETCH(int, entry);
        QFETCH(QString, column);
        execute(QStringLiteral("delete from Cases"));
        for (const char* text : {"Banana", "Date", "apple", "cherry"}) {
            execute(QStringLiteral("insert into Employees ([First Name],[Last Name]) values "
                                   "('%1','Lee')")
                        .arg(QLatin1String(text)));
            execute(QStringLiteral("insert into Cases (Title,Category,Status,[Assigned To],"
                                   "[Resolved Date]) values ('%1','%1','%1',%2,%3)")
                        .arg(QLatin1String(text))
                        .arg(scalar(QStringLiteral("select last_insert_rowid()")))
                        .arg(entry == 5 ? QStringLiteral("'12/5/2026'") : QStringLiteral("NULL")));
        }
        QStringList expected;
        for (const char* text : {"apple", "Banana", "cherry", "Date"}) {
            expected.append(QLatin1String(text) + (entry == 3 ? QStringLiteral(" Lee") : ""));
        }
        const ReportChoice& choice = reportChoices()[static_cast<size_t>(entry)];
        QCOMPARE(columnOf(CaseStatements::inOrder(choice.view, choice.order), column), expected);
        QCOMPARE(columnOf(QStringLiteral("select * from [Employees Extended]"),
                          QStringLiteral("Employee Name")),
                 (QStringList{"apple Lee", "Banana Lee", "cherry Lee", "Daniel Carter", "Date Lee",
                              "John Wilson"}));
    }

    void openCasesIsTitledAgainAfterClosedCases() {
        ReportChooser chooser(m_prompts, TestEnvironment::programFolder());
        chooser.load();
        QStringList titles;
        for (int entry : {5, 0}) {
            control<QComboBox>(chooser, QStringLiteral("Combo1"))->setCurrentIndex(entry);
            m_prompts.onModal([&](QDialog& window) {
                titles.append(window.windowTitle());
                titles.append(static_cast<ReportPreview&>(window).layout().titleLabel().caption);
            });
            control<QPushButton>(chooser, QStringLiteral("PushButton1"))->click();
        }
        QCOMPARE(titles, (QStringList{"Closed Cases", "Closed Cases", "Open Cases", "Open Cases"}));
    }

    void failingQueryIsReportedAndThePreviewStillShows() {
        execute(QStringLiteral("drop view [Closed Cases]"));
        ReportChooser chooser(m_prompts, TestEnvironment::programFolder());
        chooser.load();
        control<QComboBox>(chooser, QStringLiteral("Combo1"))->setCurrentIndex(5);
        for (int i = 0; i < 3; ++i) {
            m_prompts.answer(Prompts::Answer::Ok);
        }
        m_prompts.onModal([](QDialog& window) { window.reject(); });
        control<QPushButton>(chooser, QStringLiteral("PushButton1"))->click();
        QStringList lines;
        for (const QString& text : m_prompts.texts()) {
            lines.append(text.section(QStringLiteral("at line "), 1).left(3));
        }
        // The open (104), the read of the rows (108) and the close (116) each report.
        QCOMPARE(lines, (QStringList{"104", "108", "116"}));
        QVERIFY(m_prompts.texts()[0].contains(
            QStringLiteral("in Casewright2021/08/31.Form4.PushButton1_Click ")));
    }

    void cancelCloses() {
        ReportChooser chooser(m_prompts, TestEnvironment::programFolder());
        chooser.load();
        chooser.show();
        control<QPushButton>(chooser, QStringLiteral("PushButton2"))->click();
        QVERIFY(chooser.isHidden());
    }
};

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    TestReports reports;
    TestReportChooser chooser;
    int failures = QTest::qExec(&reports, argc, argv);
    failures += QTest::qExec(&chooser, argc, argv);
    return failures;
}

#include "test_reports.moc"
