#pragma once

#include <QDialog>

// F1 in the main window: the commands and their keys, the find words, where the data lives, the
// daily backups and the team server, in a few short sections that a screen reader reads as one
// document.
class HelpWindow : public QDialog {
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // The text the window shows, as HTML, for the data this desktop uses.
    static QString text();

private:
    void createControls();
};
