#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "prompts.h"

// The prompts of the tests: every message box, input box and modal window is recorded and
// answered from a script. A box or window that the script did not expect is recorded as such,
// answered with OK or No (or closed), and makes the test fail at its end (see unexpected()).
class ScriptedPrompts : public Prompts {
public:
    struct Box {
        QString text;
        QString caption;
        Buttons buttons;
        Icon icon;
    };

    // Answers for the next message boxes, in order.
    void answer(Answer answer) { m_answers.push_back(answer); }
    // Answers for the next input boxes: a text, or std::nullopt for Cancel.
    void type(std::optional<QString> text) { m_inputs.push_back(std::move(text)); }
    // Answers for the next save-file questions: a path, or the empty text for Cancel.
    void chooseFile(const QString& path) { m_files.push_back(path); }
    // What happens inside the next modal windows; each handler must close its window.
    void onModal(std::function<void(QDialog&)> handler) { m_modals.push_back(std::move(handler)); }

    const std::vector<Box>& boxes() const { return m_boxes; }
    QStringList texts() const;
    QStringList inputPrompts() const { return m_inputPrompts; }
    QStringList inputTitles() const { return m_inputTitles; }
    QStringList modalWindows() const { return m_modalWindows; }
    void clear();

    // What went unexpected: boxes without a scripted answer, answers left over, and so on.
    QStringList unexpected() const;

    QString input(const QString& prompt, const QString& title,
                  const QString& defaultText = {}) override;
    void showModal(QDialog& window) override;
    QString saveFileName(const QString& caption, const QString& suggestedPath,
                         const QString& filter) override;
    QStringList fileCaptions() const { return m_fileCaptions; }
    QStringList suggestedPaths() const { return m_suggestedPaths; }

protected:
    Answer showMessage(const QString& text, Buttons buttons, Icon icon,
                       const QString& caption) override;

private:
    std::vector<Box> m_boxes;
    std::deque<Answer> m_answers;
    std::deque<std::optional<QString>> m_inputs;
    std::deque<std::function<void(QDialog&)>> m_modals;
    std::deque<QString> m_files;
    QStringList m_fileCaptions;
    QStringList m_suggestedPaths;
    QStringList m_inputPrompts;
    QStringList m_inputTitles;
    QStringList m_modalWindows;
    QStringList m_unexpected;
};

// Fails the running test when the prompts met anything their script did not expect.
void expectNothingUnexpected(const ScriptedPrompts& prompts);
