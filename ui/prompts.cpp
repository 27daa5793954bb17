#include "prompts.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace {

// Message texts carry carriage returns; a label shows them as line breaks.
QString shownText(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QWidget* activeParent(QWidget* fallback) {
    QWidget* active = QApplication::activeModalWidget();
    if (active == nullptr) {
        active = QApplication::activeWindow();
    }
    return active != nullptr ? active : fallback;
}

}  // namespace

Prompts::Answer Prompts::message(const QString& text, Buttons buttons, Icon icon,
                                 const QString& caption) {
    return showMessage(text, buttons, icon, caption.isEmpty() ? m_applicationTitle : caption);
}

Prompts::Answer QtPrompts::showMessage(const QString& text, Buttons buttons, Icon icon,
                                       const QString& caption) {
    QMessageBox box(activeParent(m_parent));
    box.setWindowTitle(caption);
    box.setText(shownText(text));
    box.setTextFormat(Qt::PlainText);
    box.setIcon(icon == Icon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon);
    if (asksYesNo(buttons)) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(buttons == Buttons::YesNoDefaultNo ? QMessageBox::No
                                                                : QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return Answer::Ok;
}

QString QtPrompts::input(const QString& prompt, const QString& title, const QString& defaultText) {
    bool accepted = false;
    const QString text = QInputDialog::getText(activeParent(m_parent), title, prompt,
                                               QLineEdit::Normal, defaultText, &accepted);
    return accepted ? text : QString();
}

void QtPrompts::showModal(QDialog& window) {
    window.exec();
}

QString QtPrompts::saveFileName(const QString& caption, const QString& suggestedPath,
                                const QString& filter) {
    return QFileDialog::getSaveFileName(activeParent(m_parent), caption, suggestedPath, filter);
}
