#pragma once

#include <QDialog>
#include <functional>

class QComboBox;
class QGroupBox;
class QPushButton;
class Prompts;
class WindowPointer;
struct ReportLayout;

// The report chooser: one of six report names, then "Print Preview" shows that report's print
// preview modally over the chooser, which stays open with the same choice.
class Form4 : public QDialog {
public:
    Form4(Prompts& prompts, const QString& programFolder, QWidget* parent = nullptr);
    ~Form4() override;

    void Form_Load();
    void PushButton1_Click();  // Print Preview
    void PushButton2_Click();  // Cancel

    QGroupBox* Frame1 = nullptr;
    QComboBox* Combo1 = nullptr;
    QPushButton* PushButton1 = nullptr;
    QPushButton* PushButton2 = nullptr;

private:
    void createControls();
    void placeControls();
    void connectHandlers();

    Prompts& m_prompts;
    QString m_programFolder;
    WindowPointer* m_pointer = nullptr;
};

// The six choices: the entry, the statement it sends, the layout it shows, and the title that
// replaces the layout's own (empty: none).
struct ReportChoice {
    const char* entry;
    const char* statement;
    ReportLayout (*layout)();
    const char* retitle;
};
const std::array<ReportChoice, 6>& reportChoices();
