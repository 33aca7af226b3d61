#include "platform/XdgRegistry.h"

#include "platform/BoundedFile.h"
#include "platform/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

#include <algorithm>

namespace {

const QString kRootName = QStringLiteral("HKEY_CURRENT_USER");
const QByteArray kHeader = "Windows Registry Editor Version 5.00";
constexpr qint64 kMaxHiveFileBytes = 1024 * 1024;

QStringList splitKey(const QString& key)
{
    return key.split(u'\\', Qt::SkipEmptyParts);
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Key names may hold characters a file name may not.
QString fileName(const QString& segment)
{
    QString name = segment;
    name.replace(u'%', QStringLiteral("%25")).replace(u'/', QStringLiteral("%2F"));
    if (name == u"." || name == u"..")
        name.replace(u'.', QStringLiteral("%2E"));
    return name;
}

QString segmentOf(const QString& fileName)
{
    return QUrl::fromPercentEncoding(fileName.toUtf8());
}

QString quoted(const QString& text)
{
    QString out = text;
    out.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
    return u'"' + out + u'"';
}

QString unquoted(QStringView text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\\' && i + 1 < text.size())
            ++i;
        out += text[i];
    }
    return out;
}

QByteArray utf16Bytes(const QString& text)
{
    QByteArray bytes;
    for (QChar c : text + QChar(0)) {
        bytes.append(char(c.unicode() & 0xFF));
        bytes.append(char(c.unicode() >> 8));
    }
    return bytes;
}

QString fromUtf16Bytes(const QByteArray& bytes)
{
    QString text;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
        text += QChar(char16_t(quint8(bytes[i]) | quint8(bytes[i + 1]) << 8));
    // The terminating NUL that utf16Bytes() writes; NULs of the text itself stay.
    if (text.endsWith(QChar(0)))
        text.chop(1);
    return text;
}

// QDir::mkpath gives no reason; the first part of the path that is in the way gives one.
bool makeFolder(const QString& folder, QString* reason)
{
    if (QDir().mkpath(folder))
        return true;
    QString blocked = folder;
    for (QString up = folder; !up.isEmpty() && up != QFileInfo(up).path(); up = QFileInfo(up).path()) {
        if (QFileInfo::exists(up)) {
            blocked = up;
            break;
        }
    }
    *reason = QFileInfo(blocked).isDir()
        ? QStringLiteral("Cannot create the folder \"%1\": \"%2\" is not writable.").arg(folder, blocked)
        : QStringLiteral("Cannot create the folder \"%1\": \"%2\" is not a folder.").arg(folder, blocked);
    return false;
}

bool hasControlCharacters(const QString& text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x20; });
}

const QString kHexString = QStringLiteral("hex(1):");

// A text as regedit writes a string value: quoted, or with control characters as UTF-16 bytes.
QString valueText(const QString& text)
{
    if (!hasControlCharacters(text))
        return quoted(text);
    QStringList bytes;
    for (char b : utf16Bytes(text))
        bytes << QStringLiteral("%1").arg(quint8(b), 2, 16, QLatin1Char('0'));
    return kHexString + bytes.join(u',');
}

// Values of any other kind are not the program's and read as absent.
std::optional<QString> parseValue(QStringView text)
{
    if (text.size() >= 2 && text.startsWith(u'"') && text.endsWith(u'"'))
        return unquoted(text.mid(1, text.size() - 2));
    if (!text.startsWith(kHexString))
        return std::nullopt;
    QByteArray bytes;
    for (QStringView part : text.mid(kHexString.size()).split(u',', Qt::SkipEmptyParts)) {
        bool ok = false;
        const uint b = part.trimmed().toUInt(&ok, 16);
        if (!ok || b > 0xFF)
            return std::nullopt;
        bytes.append(char(b));
    }
    return fromUtf16Bytes(bytes);
}

} // namespace

struct XdgRegistry::Node {
    QString name;
    std::vector<std::pair<QString, QString>> values;
    std::vector<std::unique_ptr<Node>> children;

    Node* child(const QString& childName) const
    {
        for (const auto& c : children)
            if (sameName(c->name, childName))
                return c.get();
        return nullptr;
    }

    Node* ensureChild(const QString& childName)
    {
        if (Node* c = child(childName))
            return c;
        children.push_back(std::make_unique<Node>());
        children.back()->name = childName;
        return children.back().get();
    }

    QString* value(const QString& valueName)
    {
        for (auto& [n, v] : values)
            if (sameName(n, valueName))
                return &v;
        return nullptr;
    }

    void write(QString& out, const QString& path) const
    {
        out += u'[' + path + QStringLiteral("]\n");
        for (const auto& [n, v] : values)
            out += (n.isEmpty() ? QStringLiteral("@") : quoted(n)) + u'=' + valueText(v) + u'\n';
        out += u'\n';
        for (const auto& c : children)
            c->write(out, path + u'\\' + c->name);
    }
};

struct XdgRegistry::Hive {
    QStringList path; // the file key, kFileDepth segments
    QString file;
    std::unique_ptr<Node> root; // null while the key does not exist
    bool dirty = false;

    // A file the program did not write (a FIFO, a device, anything of a size no settings have,
    // a file of another user or one others may write to) reads as a missing key, as an
    // unreadable file always has.
    void load()
    {
        const auto bytes = BoundedFile::readOwn(file, kMaxHiveFileBytes, nullptr);
        if (!bytes)
            return;
        Node* current = nullptr;
        for (const QString& rawLine : QString::fromUtf8(*bytes).split(u'\n')) {
            const QString line = rawLine.trimmed();
            if (line.startsWith(u'[') && line.endsWith(u']')) {
                const QStringList segments = splitKey(line.mid(1, line.size() - 2));
                current = nullptr;
                if (segments.size() < kFileDepth + 1 || !sameName(segments[0], kRootName))
                    continue;
                if (!std::equal(path.begin(), path.end(), segments.begin() + 1, sameName))
                    continue;
                if (!root) {
                    root = std::make_unique<Node>();
                    root->name = path.last();
                }
                current = root.get();
                for (qsizetype i = kFileDepth + 1; i < segments.size(); ++i)
                    current = current->ensureChild(segments[i]);
            } else if (current && (line.startsWith(u'"') || line.startsWith(u'@'))) {
                QString name;
                qsizetype end = 1;
                if (line.startsWith(u'"')) {
                    while (end < line.size() && line[end] != u'"')
                        end += line[end] == u'\\' ? 2 : 1;
                    name = unquoted(QStringView(line).mid(1, end - 1));
                    ++end;
                }
                if (end >= line.size() || line[end] != u'=')
                    continue;
                if (auto value = parseValue(QStringView(line).mid(end + 1).trimmed())) {
                    if (QString* existing = current->value(name))
                        *existing = *value;
                    else
                        current->values.emplace_back(name, *value);
                }
            }
        }
    }

    bool save(QString* reason) const
    {
        if (!root) {
            QFile existing(file);
            if (!existing.exists() || existing.remove())
                return true;
            *reason = QStringLiteral("Cannot remove file \"%1\". %2").arg(file, existing.errorString());
            return false;
        }
        if (!makeFolder(QFileInfo(file).path(), reason))
            return false;
        QString text = QString::fromLatin1(kHeader) + QStringLiteral("\n\n");
        root->write(text, kRootName + u'\\' + path.join(u'\\'));
        QString why;
        if (SafeFile::replace(file, text.toUtf8(), &why, true))
            return true;
        *reason = QStringLiteral("Cannot create file \"%1\". %2").arg(file, why);
        return false;
    }
};

XdgRegistry::XdgRegistry(const QString& rootFolder)
    : m_root(rootFolder)
{
}

XdgRegistry::~XdgRegistry() = default;

QString XdgRegistry::defaultRoot()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

QString XdgRegistry::folderOf(const QStringList& segments) const
{
    QString folder = m_root;
    for (qsizetype i = 0; i < segments.size() && i < kFileDepth - 1; ++i)
        folder += u'/' + fileName(segments[i]);
    return folder;
}

QString XdgRegistry::fileOf(const QString& key) const
{
    const QStringList segments = splitKey(key);
    if (segments.size() < kFileDepth)
        return {};
    return folderOf(segments) + u'/' + fileName(segments[kFileDepth - 1]) + QStringLiteral(".reg");
}

XdgRegistry::Hive& XdgRegistry::hiveOf(const QStringList& segments)
{
    const QStringList path = segments.mid(0, kFileDepth);
    auto& hive = m_hives[path.join(u'\\').toLower()];
    if (!hive) {
        hive = std::make_unique<Hive>();
        hive->path = path;
        hive->file = fileOf(path.join(u'\\'));
        hive->load();
    }
    return *hive;
}

XdgRegistry::Node* XdgRegistry::find(const QStringList& segments)
{
    if (segments.size() < kFileDepth)
        return nullptr;
    Node* node = hiveOf(segments).root.get();
    for (qsizetype i = kFileDepth; node && i < segments.size(); ++i)
        node = node->child(segments[i]);
    return node;
}

bool XdgRegistry::keyExists(const QString& key)
{
    const QStringList segments = splitKey(key);
    if (segments.size() < kFileDepth)
        return QFileInfo(folderOf(segments)).isDir();
    return find(segments) != nullptr;
}

bool XdgRegistry::createKey(const QString& key)
{
    const QStringList segments = splitKey(key);
    if (segments.isEmpty())
        return true;
    if (!makeFolder(folderOf(segments), &m_error))
        return false;
    if (segments.size() < kFileDepth)
        return true;
    Hive& hive = hiveOf(segments);
    if (!hive.root) {
        hive.root = std::make_unique<Node>();
        hive.root->name = segments[kFileDepth - 1];
    }
    Node* node = hive.root.get();
    for (qsizetype i = kFileDepth; i < segments.size(); ++i)
        node = node->ensureChild(segments[i]);
    hive.dirty = true;
    return true;
}

bool XdgRegistry::deleteKeyTree(const QString& key)
{
    const QStringList segments = splitKey(key);
    if (segments.isEmpty())
        return false;
    if (segments.size() < kFileDepth) {
        for (auto& [name, hive] : m_hives) {
            if (std::equal(segments.begin(), segments.end(), hive->path.begin(), sameName)) {
                hive->root.reset();
                hive->dirty = false;
            }
        }
        const QString folder = folderOf(segments);
        return !QFileInfo::exists(folder) || QDir(folder).removeRecursively();
    }
    Hive& hive = hiveOf(segments);
    if (segments.size() == kFileDepth) {
        hive.root.reset();
        hive.dirty = true;
        return true;
    }
    Node* parent = find(segments.mid(0, segments.size() - 1));
    if (!parent)
        return true;
    std::erase_if(parent->children, [&](const auto& c) { return sameName(c->name, segments.last()); });
    hive.dirty = true;
    return true;
}

QStringList XdgRegistry::subkeys(const QString& key)
{
    const QStringList segments = splitKey(key);
    if (segments.size() >= kFileDepth) {
        QStringList names;
        if (const Node* node = find(segments))
            for (const auto& c : node->children)
                names << c->name;
        return names;
    }
    const QDir folder(folderOf(segments));
    const bool filesAreKeys = segments.size() == kFileDepth - 1;
    QStringList names;
    const QStringList entries = filesAreKeys
        ? folder.entryList({ QStringLiteral("*.reg") }, QDir::Files, QDir::Name)
        : folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (QString entry : entries) {
        if (filesAreKeys)
            entry.chop(4);
        names << segmentOf(entry);
    }
    if (filesAreKeys) {
        for (const auto& [path, hive] : m_hives) {
            if (!std::equal(segments.begin(), segments.end(), hive->path.begin(), sameName))
                continue;
            const QString name = hive->path.last();
            const auto known = std::find_if(
                names.begin(), names.end(), [&](const QString& n) { return sameName(n, name); });
            if (hive->root && known == names.end())
                names << name;
            else if (!hive->root && known != names.end())
                names.erase(known);
        }
    }
    return names;
}

QStringList XdgRegistry::listValueNames(const QString& key)
{
    QStringList names;
    if (const Node* node = find(splitKey(key)))
        for (const auto& value : node->values)
            names << value.first;
    return names;
}

std::optional<QString> XdgRegistry::readString(const QString& key, const QString& name)
{
    Node* node = find(splitKey(key));
    QString* value = node ? node->value(name) : nullptr;
    return value ? std::optional(*value) : std::nullopt;
}

bool XdgRegistry::writeString(const QString& key, const QString& name, const QString& value)
{
    const QStringList segments = splitKey(key);
    Node* node = find(segments);
    if (!node) {
        m_error = QStringLiteral("The key \"%1\" does not exist.").arg(key);
        return false;
    }
    if (QString* existing = node->value(name))
        *existing = value;
    else
        node->values.emplace_back(name, value);
    hiveOf(segments).dirty = true;
    return true;
}

bool XdgRegistry::flush()
{
    bool ok = true;
    for (auto& [path, hive] : m_hives) {
        if (!hive->dirty)
            continue;
        if (hive->save(&m_error))
            hive->dirty = false;
        else
            ok = false;
    }
    return ok;
}
