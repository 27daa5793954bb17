#include "scripted_prompts.h"

#include <QDialog>
#include <QTest>

QStringList ScriptedPrompts::texts() const {
    QStringList texts;
    for (const Box& box : m_boxes) {
        texts.append(box.text);
    }
    return texts;
}

void ScriptedPrompts::clear() {
    m_boxes.clear();
    m_answers.clear();
    m_inputs.clear();
    m_modals.clear();
    m_files.clear();
    m_fileCaptions.clear();
    m_suggestedPaths.clear();
    m_inputPrompts.clear();
    m_inputTitles.clear();
    m_modalWindows.clear();
    m_unexpected.clear();
}

QStringList ScriptedPrompts::unexpected() const {
    QStringList problems = m_unexpected;
    if (!m_answers.empty()) {
        problems.append(QStringLiteral("%1 scripted box answers left over").arg(m_answers.size()));
    }
    if (!m_inputs.empty()) {
        problems.append(QStringLiteral("%1 scripted input answers left over").arg(m_inputs.size()));
    }
    if (!m_files.empty()) {
        problems.append(QStringLiteral("%1 scripted file choices left over").arg(m_files.size()));
    }
    if (!m_modals.empty()) {
        problems.append(
            QStringLiteral("%1 scripted modal windows never shown").arg(m_modals.size()));
    }
    return problems;
}

Prompts::Answer ScriptedPrompts::showMessage(const QString& text, Buttons buttons, Icon icon,
                                             const QString& caption) {
    m_boxes.push_back({text, caption, buttons, icon});
    if (m_answers.empty()) {
        m_unexpected.append(QStringLiteral("unexpected box: ") + text);
        return asksYesNo(buttons) ? Answer::No : Answer::Ok;
    }
    const Answer answer = m_answers.front();
    m_answers.pop_front();
    const bool fits = asksYesNo(buttons) ? answer != Answer::Ok : answer == Answer::Ok;
    if (!fits) {
        m_unexpected.append(QStringLiteral("answer does not fit the buttons of: ") + text);
    }
    return answer;
}

QString ScriptedPrompts::input(const QString& prompt, const QString& title, const QString&) {
    m_inputPrompts.append(prompt);
    m_inputTitles.append(title);
    if (m_inputs.empty()) {
        m_unexpected.append(QStringLiteral("unexpected input box: ") + prompt);
        return {};
    }
    const std::optional<QString> answer = m_inputs.front();
    m_inputs.pop_front();
    return answer.value_or(QString());
}

void ScriptedPrompts::showModal(QDialog& window) {
    m_modalWindows.append(window.objectName());
    if (m_modals.empty()) {
        m_unexpected.append(QStringLiteral("unexpected modal window: ") + window.objectName());
        return;
    }
    const auto handler = std::move(m_modals.front());
    m_modals.pop_front();
    handler(window);
}

QString ScriptedPrompts::saveFileName(const QString& caption, const QString& suggestedPath,
                                      const QString&) {
    m_fileCaptions.append(caption);
    m_suggestedPaths.append(suggestedPath);
    if (m_files.empty()) {
        m_unexpected.append(QStringLiteral("unexpected file choice: ") + caption);
        return {};
    }
    const QString path = m_files.front();
    m_files.pop_front();
    return path;
}

void expectNothingUnexpected(const ScriptedPrompts& prompts) {
    const QStringList problems = prompts.unexpected();
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
}
