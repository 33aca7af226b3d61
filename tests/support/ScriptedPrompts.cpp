#include "support/ScriptedPrompts.h"

ScriptedPrompts& ScriptedPrompts::install()
{
    auto owned = std::make_unique<ScriptedPrompts>();
    ScriptedPrompts& ref = *owned;
    Prompts::install(std::move(owned));
    return ref;
}

QStringList ScriptedPrompts::texts() const
{
    QStringList out;
    for (const Shown& s : shown)
        out << s.text;
    return out;
}

void ScriptedPrompts::clear()
{
    shown.clear();
    m_answers.clear();
    m_files.clear();
}

void ScriptedPrompts::message(QWidget*, const QString& text)
{
    shown.push_back({ Shown::Message, text, Icon::None, 0, Button::Ok, {} });
}

void ScriptedPrompts::error(QWidget*, const QString& text)
{
    shown.push_back({ Shown::Error, text, Icon::None, 0, Button::Ok, {} });
}

Prompts::Button ScriptedPrompts::ask(
    QWidget*, const QString& text, Icon icon, int buttons, Button defaultButton)
{
    shown.push_back({ Shown::Ask, text, icon, buttons, defaultButton, {} });
    if (m_answers.empty())
        return defaultButton;
    Button b = m_answers.front();
    m_answers.pop_front();
    return b;
}

QString ScriptedPrompts::openFile(QWidget*, const FileDialog& dialog)
{
    shown.push_back({ Shown::Open, dialog.title, Icon::None, 0, Button::Ok, dialog });
    if (m_files.empty())
        return {};
    QString f = m_files.front();
    m_files.pop_front();
    return f;
}

QString ScriptedPrompts::saveFile(QWidget*, const FileDialog& dialog)
{
    shown.push_back({ Shown::Save, dialog.title, Icon::None, 0, Button::Ok, dialog });
    if (m_files.empty())
        return {};
    QString f = m_files.front();
    m_files.pop_front();
    return f;
}
