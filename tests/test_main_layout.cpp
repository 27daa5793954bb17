// The main window's layout: the designed places, the maximized layout computed from the window's
// size, and when a resize puts the designed layout back and centres the window.

#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <memory>

#include "case_store.h"
#include "main_layout.h"
#include "main_window.h"
#include "report_list.h"
#include "scripted_prompts.h"
#include "test_environment.h"
#include "window_controls.h"

namespace {

bool same(const Twips::Rect& a, const Twips::Rect& b) {
    return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}

}  // namespace

class TestMainLayout : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestEnvironment> m_env;
    ScriptedPrompts m_prompts;
    std::unique_ptr<MainWindow> m_form;

    MainWindow& shownForm() {
        m_form = std::make_unique<MainWindow>(m_prompts, m_env->settings(),
                                              TestEnvironment::programFolder());
        m_form->setProgramEnd([] {});
        m_form->load();
        m_form->show();
        if (!QTest::qWaitForWindowExposed(m_form.get())) {
            qWarning("the main window was not exposed");
        }
        return *m_form;
    }

    // Whether the window stands centred on the screen, to a pixel of rounding; a window wider
    // than the screen may be kept at its left edge by the window system.
    static bool centred(const MainWindow& form) {
        const QRect screen = form.screen()->geometry();
        const QRect frame = form.frameGeometry();
        const int left = screen.left() + (screen.width() - frame.width()) / 2;
        const int top = screen.top() + (screen.height() - frame.height()) / 2;
        const bool leftCentred = std::abs(frame.left() - left) <= 1 ||
                                 (left < screen.left() && frame.left() == screen.left());
        return leftCentred && std::abs(frame.top() - top) <= 1;
    }

    const QRect kDesignedList{8, 8, 784, 365};

private Q_SLOTS:
    void init() {
        m_env = std::make_unique<TestEnvironment>();
        m_prompts.clear();
    }

    void cleanup() {
        m_form.reset();
        m_env.reset();
        expectNothingUnexpected(m_prompts);
    }

    void maximizedLayoutFollowsTheWindowSize() {
        // A window of 19200 x 14400 twips (1280 x 960 pixels).
        const MainLayout layout = MainLayout::maximized(19200, 14400, 600);
        QVERIFY(same(layout.list, {120, 120, 18870, 12690}));        // W - 330, H - 2 * 405 - 900
        QVERIFY(same(layout.buttons[0], {3360, 12915, 3840, 405}));  // W / 2 - 5760 - 480
        QVERIFY(same(layout.buttons[1], {7320, 12915, 3840, 405}));
        QVERIFY(same(layout.buttons[2], {11280, 12915, 3840, 405}));
        QVERIFY(same(layout.buttons[3], {3360, 13425, 3840, 405}));
        QVERIFY(same(layout.buttons[5], {11280, 13425, 3840, 405}));
    }

    void narrowScreenPutsTheFirstButtonsLeftOfTheEdge() {
        const MainLayout layout = MainLayout::maximized(9000, 9000, 600);
        QCOMPARE(layout.buttons[0].left, -1740.0);  // 4500 - 5760 - 480
        QCOMPARE(layout.buttons[3].left, -1740.0);
    }

    void tinyWindowKeepsOneRowOfTheList() {
        const MainLayout layout = MainLayout::maximized(6000, 1500, 600);
        QCOMPARE(layout.list.height, 600.0);  // not 1500 - 1710
        QCOMPARE(layout.buttons[0].top, 600.0 + 225);
    }

    void designedLayout() {
        const MainLayout layout = MainLayout::designed();
        QVERIFY(same(layout.list, {120, 120, 11760, 5475}));
        QVERIFY(same(layout.buttons[1], {4080, 5680, 3840, 405}));
        QVERIFY(same(layout.buttons[4], {4080, 6190, 3840, 405}));
    }

    // The first show puts the outer frame in the middle of the screen, as a restore does.
    void firstShowCentresTheOuterFrame() {
        MainWindow& form = shownForm();
        QTRY_VERIFY(centred(form));
        QVERIFY(!form.layoutChanged());
    }

    void maximizeThenRestore() {
        MainWindow& form = shownForm();
        form.showMaximized();
        QTRY_VERIFY(form.windowStateCode() == 2 && ui(form).caseList->geometry() != kDesignedList);
        QVERIFY(form.layoutChanged());
        const int width = form.frameGeometry().width();
        QCOMPARE(ui(form).caseList->width(), qRound((width * 15.0 - 330) / 15));
        QCOMPARE(ui(form).addButton->y(), ui(form).caseList->height() + 15);
        QCOMPARE(ui(form).reportsButton->y(), ui(form).addButton->y() + 34);
        form.showNormal();
        QTRY_COMPARE(form.windowStateCode(), 0);
        QTRY_COMPARE(ui(form).caseList->geometry(), kDesignedList);
        QCOMPARE(ui(form).helpButton->geometry(), QRect(536, 413, 256, 27));
        QTRY_VERIFY(centred(form));
    }

    void startMaximizedThenRestore() {
        m_env->settings().setValue(QStringLiteral("Helvarine/WindowState"), QStringLiteral("2"));
        MainWindow& form = shownForm();
        QTRY_VERIFY(ui(form).caseList->geometry() != kDesignedList);
        form.showNormal();
        QTRY_COMPARE(ui(form).caseList->geometry(), kDesignedList);
        QTRY_VERIFY(centred(form));
    }

    void startMinimizedThenRestoreCentres() {
        m_env->settings().setValue(QStringLiteral("Helvarine/WindowState"), QStringLiteral("1"));
        MainWindow& form = shownForm();
        QVERIFY(form.layoutChanged());
        form.move(10, 10);
        form.showNormal();
        QTRY_COMPARE(form.windowStateCode(), 0);
        QTRY_VERIFY(centred(form));
        QCOMPARE(ui(form).caseList->geometry(), kDesignedList);
    }

    void resizingWithoutAMaximizeChangesNothing() {
        MainWindow& form = shownForm();
        form.move(20, 30);
        form.resize(1000, 600);
        QTRY_COMPARE(form.size(), QSize(1000, 600));
        QCOMPARE(ui(form).caseList->geometry(), kDesignedList);
        QCOMPARE(form.pos(), QPoint(20, 30));
        QVERIFY(!centred(form));
        QVERIFY(!form.layoutChanged());
    }

    void afterAMaximizeEveryResizeCentres() {
        MainWindow& form = shownForm();
        form.showMaximized();
        QTRY_COMPARE(form.windowStateCode(), 2);
        form.showNormal();
        QTRY_COMPARE(form.windowStateCode(), 0);
        form.move(5, 5);
        form.resize(700, 400);
        QTRY_VERIFY2(centred(form), qPrintable(QStringLiteral("frame at %1,%2 size %3x%4")
                                                   .arg(form.frameGeometry().x())
                                                   .arg(form.frameGeometry().y())
                                                   .arg(form.frameGeometry().width())
                                                   .arg(form.frameGeometry().height())));
        QCOMPARE(ui(form).caseList->geometry(), kDesignedList);
    }
};

QTEST_MAIN(TestMainLayout)
#include "test_main_layout.moc"
