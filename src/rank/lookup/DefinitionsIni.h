#pragma once

#include <QLatin1StringView>
#include <QList>
#include <QString>
#include <QStringList>
#include <map>
#include <vector>

// The section that holds the version of a definitions file.
inline constexpr QLatin1StringView kDefinitionsSection("definitions");

// One reason a definitions file is refused, with the place it was found at: a section, a key, or a
// line that is neither.
struct DefinitionsProblem {
    QString section; // without brackets; empty before any section
    QString key; // empty for a problem of a whole section or line
    QString reason;
    int line = 0; // 0 when the problem belongs to no one line (a missing key, a whole section)

    // "[GoogleCom] PageSize (строка 3): reason", "[Foo] (строка 7): reason", "строка 7: reason".
    QString text() const;
};

struct IniValue {
    QString text;
    int line = 0;
};

// The values of one section, by key, as the file wrote them; names spelt as the program knows them.
struct IniSection {
    QString name;
    std::map<QString, IniValue> values;
    QStringList order;
};

// The sections of a definitions file in their order. Only known sections and keys are kept (matched
// without regard to case); an unknown or repeated one and a line that is neither a section nor a
// value are problems.
std::vector<IniSection> splitDefinitionsIni(const QString& text, QList<DefinitionsProblem>& problems);
