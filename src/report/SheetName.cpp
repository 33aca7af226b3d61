#include "report/SheetName.h"

namespace {

constexpr qsizetype kMaxSheetNameUnits = 31;

bool refusedInSheetName(QChar c)
{
    return QStringView(u"[]:*?/\\").contains(c) || c.category() == QChar::Other_Control;
}

void trimApostrophes(QString& name)
{
    while (name.startsWith(u'\''))
        name.remove(0, 1);
    while (name.endsWith(u'\''))
        name.chop(1);
}

} // namespace

QString workbookSheetName(const QString& caption)
{
    QString name = caption;
    for (QChar& c : name) {
        if (refusedInSheetName(c))
            c = u'_';
    }
    trimApostrophes(name);
    if (name.size() > kMaxSheetNameUnits) {
        // The cut never splits a surrogate pair.
        qsizetype keep = kMaxSheetNameUnits;
        if (name.at(keep - 1).isHighSurrogate())
            --keep;
        name.truncate(keep);
        trimApostrophes(name);
    }
    if (name.isEmpty())
        return QStringLiteral("Новый проект");
    // Excel keeps "History" for a sheet of its own, in any case.
    if (name.compare(QLatin1String("History"), Qt::CaseInsensitive) == 0)
        name += u'_';
    return name;
}
