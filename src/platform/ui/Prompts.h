#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class QWidget;

// Every message box and file dialog of the program goes through this interface,
// so that tests can answer them in advance (see tests/support/ScriptedPrompts.h).
class Prompts {
public:
    enum class Icon { None, Information, Warning, Error, Question };
    enum class Button { Ok = 1, Cancel = 2, Yes = 4, No = 8 };

    struct FileDialog {
        QString title;
        QString filter; // "KS Sertrix|*.zlt" form: description, bar, pattern
        QString defaultExt;
        QString initialDir;
    };

    virtual ~Prompts() = default;

    // A plain box: no icon, OK button, the application title as caption.
    virtual void message(QWidget* parent, const QString& text) = 0;
    // The toolkit's standard error box for an error nobody caught.
    virtual void error(QWidget* parent, const QString& text) = 0;
    // A typed box: icon, buttons (an OR of Button values) and the default one; returns the chosen button.
    virtual Button ask(QWidget* parent, const QString& text, Icon icon, int buttons, Button defaultButton)
        = 0;
    // Empty when the user cancelled.
    virtual QString openFile(QWidget* parent, const FileDialog& dialog) = 0;
    virtual QString saveFile(QWidget* parent, const FileDialog& dialog) = 0;

    static Prompts& instance();
    // Replaces the prompts for the rest of the process (tests); nullptr restores the real ones.
    static void install(std::unique_ptr<Prompts> prompts);
};
