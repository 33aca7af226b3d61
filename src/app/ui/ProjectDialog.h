#pragma once

#include "store/DialogFolder.h"

#include <QString>

class QWidget;

// A file dialog of the main window (OpenDialog, SaveDialog): its design values and the folder it
// starts in, which the main window's property store remembers as InitialDir.
class ProjectDialog : public DialogFolder {
    Q_OBJECT
public:
    enum class Kind { Open, Save };

    ProjectDialog(
        Kind kind, const QString& name, const QString& title, const QString& defaultExt, QObject* parent);

    static const QString Filter;

    QString title() const { return m_title; }
    QString defaultExt() const { return m_defaultExt; }

    // Shows the dialog; the chosen path, or empty when cancelled. The next showing starts in the
    // chosen file's folder.
    QString Execute(QWidget* parent);

private:
    Kind m_kind;
    QString m_title;
    QString m_defaultExt;
};
