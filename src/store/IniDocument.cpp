#include "store/IniDocument.h"

#include "platform/BoundedFile.h"
#include "platform/CodePage.h"
#include "platform/SafeFile.h"
#include "store/StoreError.h"

#include <QFileInfo>

namespace {

// Blanks are the space and every control character.
QString trimmedOfBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= u' ')
        ++begin;
    while (end > begin && text[end - 1].unicode() <= u' ')
        --end;
    return text.mid(begin, end - begin).toString();
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

void IniDocument::Section::set(const QString& key, const QString& value)
{
    for (Entry& entry : entries) {
        if (sameName(entry.key, key)) {
            entry.value = value;
            return;
        }
    }
    entries.push_back({ key, value });
}

IniDocument IniDocument::parse(const QString& text)
{
    IniDocument document;
    Section* current = nullptr;
    const QStringView all(text);
    for (qsizetype begin = 0; begin <= all.size();) {
        qsizetype end = begin;
        while (end < all.size() && all[end] != u'\r' && all[end] != u'\n')
            ++end;
        const QString line = trimmedOfBlanks(all.mid(begin, end - begin));
        begin = end + (end + 1 < all.size() && all[end] == u'\r' && all[end + 1] == u'\n' ? 2 : 1);
        if (line.isEmpty() || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            document.m_sections.push_back({ trimmedOfBlanks(QStringView(line).mid(1, line.size() - 2)), {} });
            current = &document.m_sections.back();
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (current && equals >= 0)
            current->entries.push_back({ trimmedOfBlanks(QStringView(line).left(equals)),
                trimmedOfBlanks(QStringView(line).mid(equals + 1)) });
    }
    return document;
}

QString IniDocument::text() const
{
    QString out;
    for (const Section& section : m_sections) {
        out += u'[' + section.name + QStringLiteral("]\r\n");
        for (const Entry& entry : section.entries)
            out += entry.key + u'=' + entry.value + QStringLiteral("\r\n");
        out += QStringLiteral("\r\n");
    }
    return out;
}

IniDocument IniDocument::load(const QString& path)
{
    if (!QFileInfo::exists(path))
        return {};
    QString reason;
    // A file others may change is no project of the user's: it is refused like a foreign one.
    // A team may share its projects through the owner's group.
    const auto bytes = BoundedFile::readOwn(path, kMaxFileBytes, &reason, BoundedFile::OtherWriters::Group);
    if (!bytes)
        throw EPropertiesStore(QStringLiteral("Cannot open file \"%1\". %2").arg(path, reason));
    return parse(CodePage::fromAnsi(*bytes));
}

void IniDocument::save(const QString& path) const
{
    QString reason;
    if (!SafeFile::replace(path, CodePage::toAnsi(text()), &reason))
        throw EPropertiesStore(QStringLiteral("Cannot create file \"%1\". %2").arg(path, reason));
}

const IniDocument::Section* IniDocument::find(const QString& name) const
{
    for (const Section& section : m_sections)
        if (sameName(section.name, name))
            return &section;
    return nullptr;
}

IniDocument::Section& IniDocument::section(const QString& name)
{
    for (Section& section : m_sections)
        if (sameName(section.name, name))
            return section;
    m_sections.push_back({ name, {} });
    return m_sections.back();
}
