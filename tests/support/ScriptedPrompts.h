#pragma once

#include "platform/ui/Prompts.h"

#include <QStringList>
#include <deque>

// Answers message boxes and file dialogs from a script and records what was shown.
// Install with ScriptedPrompts::install(); a box with no scripted answer takes its default
// button, a file dialog with no scripted name is cancelled.
class ScriptedPrompts : public Prompts {
public:
    struct Shown {
        enum Kind { Message, Error, Ask, Open, Save } kind;
        QString text; // message text, or the dialog title
        Icon icon = Icon::None;
        int buttons = 0;
        Button defaultButton = Button::Ok;
        FileDialog dialog;
    };

    static ScriptedPrompts& install();

    void answer(Button b) { m_answers.push_back(b); }
    void fileName(const QString& path) { m_files.push_back(path); }

    std::deque<Shown> shown;
    QStringList texts() const;
    void clear();

    void message(QWidget*, const QString& text) override;
    void error(QWidget*, const QString& text) override;
    Button ask(QWidget*, const QString& text, Icon icon, int buttons, Button defaultButton) override;
    QString openFile(QWidget*, const FileDialog& dialog) override;
    QString saveFile(QWidget*, const FileDialog& dialog) override;

private:
    std::deque<Button> m_answers;
    std::deque<QString> m_files;
};
