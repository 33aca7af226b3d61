#include "app/ui/ProjectDialog.h"

#include "app/workspace/WorkspaceRules.h"
#include "platform/ui/Prompts.h"

const QString ProjectDialog::Filter = QStringLiteral("KS Sertrix|*.zlt");

ProjectDialog::ProjectDialog(
    Kind kind, const QString& name, const QString& title, const QString& defaultExt, QObject* parent)
    : DialogFolder(parent)
    , m_kind(kind)
    , m_title(title)
    , m_defaultExt(defaultExt)
{
    setObjectName(name);
}

QString ProjectDialog::Execute(QWidget* parent)
{
    const Prompts::FileDialog dialog { m_title, Filter, m_defaultExt, InitialDir() };
    const QString chosen = m_kind == Kind::Open ? Prompts::instance().openFile(parent, dialog)
                                                : Prompts::instance().saveFile(parent, dialog);
    if (!chosen.isEmpty())
        SetInitialDir(WorkspaceRules::folderOf(chosen));
    return chosen;
}
