#pragma once

#include <QString>
#include <QStringList>

// Where the user's guide of the program is: its "index.html" in the "help" folder beside the
// program (the build tree, or a copy unpacked in one folder), or in the data folder of an install
// ("bin/kestrova-sertrix" with "share/kestrova-sertrix/help/index.html"). A help file named after
// the program (its path with ".chm") is still taken when there is no guide.
class HelpGuide {
public:
    explicit HelpGuide(const QString& executablePath);

    // The places looked at, in order.
    QStringList candidates() const;
    // The first candidate that is a regular file (or a link to one); empty when none is.
    QString find() const;

private:
    QString m_executablePath;
};
