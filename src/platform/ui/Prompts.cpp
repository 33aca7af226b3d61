#include "platform/ui/Prompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace {

QString qtFilter(const QString& filter)
{
    // "Description|pattern|Description|pattern" becomes "Description (pattern);;..."
    const QStringList parts = filter.split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        out << QString("%1 (%2)").arg(parts[i], parts[i + 1]);
    return out.join(";;");
}

QString withDefaultExt(QString path, const QString& defaultExt)
{
    if (path.isEmpty() || defaultExt.isEmpty())
        return path;
    QString ext = defaultExt;
    ext.remove('*');
    if (!ext.startsWith('.'))
        ext.prepend('.');
    const QString name = path.section('/', -1);
    if (!name.contains('.'))
        path += ext;
    return path;
}

QMessageBox::Icon qtIcon(Prompts::Icon icon)
{
    switch (icon) {
    case Prompts::Icon::Information:
        return QMessageBox::Information;
    case Prompts::Icon::Warning:
        return QMessageBox::Warning;
    case Prompts::Icon::Error:
        return QMessageBox::Critical;
    case Prompts::Icon::Question:
        return QMessageBox::Question;
    case Prompts::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton qtButton(Prompts::Button b)
{
    switch (b) {
    case Prompts::Button::Ok:
        return QMessageBox::Ok;
    case Prompts::Button::Cancel:
        return QMessageBox::Cancel;
    case Prompts::Button::Yes:
        return QMessageBox::Yes;
    case Prompts::Button::No:
        return QMessageBox::No;
    }
    return QMessageBox::Ok;
}

class QtPrompts : public Prompts {
public:
    void message(QWidget* parent, const QString& text) override
    {
        QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), text, QMessageBox::Ok, parent);
        box.exec();
    }
    void error(QWidget* parent, const QString& text) override
    {
        QMessageBox box(
            QMessageBox::Critical, QApplication::applicationName(), text, QMessageBox::Ok, parent);
        box.exec();
    }
    Button ask(QWidget* parent, const QString& text, Icon icon, int buttons, Button defaultButton) override
    {
        QMessageBox box(qtIcon(icon), QApplication::applicationName(), text, QMessageBox::NoButton, parent);
        for (Button b : { Button::Ok, Button::Cancel, Button::Yes, Button::No })
            if (buttons & int(b))
                box.addButton(qtButton(b));
        box.setDefaultButton(qtButton(defaultButton));
        const auto chosen = QMessageBox::StandardButton(box.exec());
        for (Button b : { Button::Ok, Button::Cancel, Button::Yes, Button::No })
            if (qtButton(b) == chosen)
                return b;
        return (buttons & int(Button::Cancel)) ? Button::Cancel : Button::No;
    }
    QString openFile(QWidget* parent, const FileDialog& d) override
    {
        // Like the system's open dialog, it accepts the name of a file that does not exist.
        QFileDialog dialog(parent, d.title, d.initialDir, qtFilter(d.filter));
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::AnyFile);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        return withDefaultExt(dialog.selectedFiles().constFirst(), d.defaultExt);
    }
    QString saveFile(QWidget* parent, const FileDialog& d) override
    {
        return withDefaultExt(QFileDialog::getSaveFileName(parent, d.title, d.initialDir, qtFilter(d.filter),
                                  nullptr, QFileDialog::DontConfirmOverwrite),
            d.defaultExt);
    }
};

std::unique_ptr<Prompts>& slot()
{
    static std::unique_ptr<Prompts> current;
    return current;
}

} // namespace

Prompts& Prompts::instance()
{
    if (!slot())
        slot() = std::make_unique<QtPrompts>();
    return *slot();
}

void Prompts::install(std::unique_ptr<Prompts> prompts)
{
    slot() = std::move(prompts);
}
