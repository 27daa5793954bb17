#pragma once

#include <QString>

class QDialog;
class QWidget;

// Every message box, input box and modal window of the program goes through this one interface,
// so that the program shows real windows and the tests answer from a script.
class Prompts {
public:
    // YesNoDefaultNo: the question before something that cannot be undone (a deletion, an
    // overwrite); Return alone answers No.
    enum class Buttons { Ok, YesNo, YesNoDefaultNo };
    static bool asksYesNo(Buttons buttons) { return buttons != Buttons::Ok; }
    enum class Icon { None, Warning };
    enum class Answer { Ok, Yes, No };

    virtual ~Prompts() = default;

    // A modal message box; an empty caption means the application title.
    Answer message(const QString& text, Buttons buttons, Icon icon, const QString& caption = {});
    // A modal input box; gives the typed text, or the empty text when the user cancels.
    virtual QString input(const QString& prompt, const QString& title,
                          const QString& defaultText = {}) = 0;
    // Shows a window modally and returns when it has been closed.
    virtual void showModal(QDialog& window) = 0;
    // Asks where to save a file; gives the chosen path, or the empty text when cancelled.
    virtual QString saveFileName(const QString& caption, const QString& suggestedPath,
                                 const QString& filter) = 0;

    // The OK box without icon that the program uses for validation and success messages.
    void inform(const QString& text) { message(text, Buttons::Ok, Icon::None); }
    // The Yes/No question without icon; true only for Yes.
    bool confirm(const QString& text) {
        return message(text, Buttons::YesNo, Icon::None) == Answer::Yes;
    }
    // The same question with No as its default: for deletions and overwrites.
    bool confirmNoByDefault(const QString& text) {
        return message(text, Buttons::YesNoDefaultNo, Icon::None) == Answer::Yes;
    }

    // The caption of every message box that names none of its own.
    void setApplicationTitle(const QString& title) { m_applicationTitle = title; }
    const QString& applicationTitle() const { return m_applicationTitle; }

protected:
    virtual Answer showMessage(const QString& text, Buttons buttons, Icon icon,
                               const QString& caption) = 0;

private:
    // Until start-up sets it, the title is the product's name.
    QString m_applicationTitle = QStringLiteral("Helvarine");
};

// The real boxes and windows, with Qt's widgets.
class QtPrompts : public Prompts {
public:
    explicit QtPrompts(QWidget* parent = nullptr) : m_parent(parent) {}

    QString input(const QString& prompt, const QString& title,
                  const QString& defaultText = {}) override;
    void showModal(QDialog& window) override;
    QString saveFileName(const QString& caption, const QString& suggestedPath,
                         const QString& filter) override;

protected:
    Answer showMessage(const QString& text, Buttons buttons, Icon icon,
                       const QString& caption) override;

private:
    QWidget* m_parent;
};
