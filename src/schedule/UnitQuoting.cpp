#include "schedule/UnitQuoting.h"

#include "schedule/ScheduleError.h"

namespace {

void refuseControlCharacters(const QString& word)
{
    for (const QChar c : word) {
        if (c == u'\n' || c == u'\r')
            throw ScheduleInputError(
                QStringLiteral("путь \"%1\" содержит перевод строки, его нельзя записать в расписание")
                    .arg(QString(word)
                             .replace(u'\n', QStringLiteral("\\n"))
                             .replace(u'\r', QStringLiteral("\\r"))));
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            throw ScheduleInputError(
                QStringLiteral("путь \"%1\" содержит управляющий символ, его нельзя записать в расписание")
                    .arg(word));
    }
}

} // namespace

namespace UnitQuoting {

QString execWord(const QString& word)
{
    refuseControlCharacters(word);
    QString quoted = QStringLiteral("\"");
    for (const QChar c : word) {
        if (c == u'\\' || c == u'"')
            quoted += u'\\';
        else if (c == u'%' || c == u'$')
            quoted += c;
        quoted += c;
    }
    return quoted + u'"';
}

QString environmentAssignment(const QString& name, const QString& value)
{
    refuseControlCharacters(value);
    QString quoted = QStringLiteral("\"") + name + u'=';
    for (const QChar c : value) {
        if (c == u'\\' || c == u'"')
            quoted += u'\\';
        else if (c == u'%')
            quoted += c;
        quoted += c;
    }
    return quoted + u'"';
}

QString specifierValue(const QString& text)
{
    QString value;
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            continue;
        if (c == u'%')
            value += c;
        value += c;
    }
    return value;
}

QString cronWord(const QString& word)
{
    refuseControlCharacters(word);
    QString quoted = QStringLiteral("'");
    for (const QChar c : word) {
        if (c == u'\'')
            quoted += QStringLiteral("'\\''");
        else if (c == u'%')
            quoted += QStringLiteral("\\%");
        else
            quoted += c;
    }
    return quoted + u'\'';
}

} // namespace UnitQuoting
