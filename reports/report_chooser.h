#pragma once

#include <QDialog>
#include <functional>

#include "case_statements.h"

class QComboBox;
class QGroupBox;
class QPushButton;
class Prompts;
class WindowPointer;
struct ReportLayout;

// The report chooser: one of six report names, then "Print Preview" shows that report's print
// preview modally over the chooser, which stays open with the same choice.
class ReportChooser : public QDialog {
public:
    ReportChooser(Prompts& prompts, const QString& programFolder, QWidget* parent = nullptr);
    ~ReportChooser() override;

    // The load handler: the six entries, none selected. The opener runs it before the show.
    void load();

private:
    void createControls();
    void placeControls();
    void connectHandlers();

    void preview();
    void cancel();

    // The controls; their designer names stand in placeControls' table.
    QGroupBox* reportFrame = nullptr;
    QComboBox* reportList = nullptr;
    QPushButton* previewButton = nullptr;
    QPushButton* cancelButton = nullptr;

    Prompts& m_prompts;
    QString m_programFolder;
    WindowPointer* m_pointer = nullptr;
};

// The six choices: the entry and the line that lists it, the cases it reads and their order,
// the layout it shows, and the title that replaces the layout's own (empty: none).
struct ReportChoice {
    const char* entry;
    int loadLine;  // the line of load that adds the entry
    CaseView view;
    CaseOrder order;
    ReportLayout (*layout)();
    const char* retitle;
};
const std::array<ReportChoice, 6>& reportChoices();
