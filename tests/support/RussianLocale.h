#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

// The ru_RU.UTF-8 locale of a Russian desktop, made with localedef into a folder of the test's own
// (a machine may have no such locale): the environment a program started under it gets.
class RussianLocale {
public:
    RussianLocale();

    bool ready() const { return m_ready; }
    const QString& problem() const { return m_problem; }
    // The environment with LANG and LC_ALL set to ru_RU.UTF-8 and LOCPATH to the folder.
    QProcessEnvironment apply(QProcessEnvironment environment) const;

private:
    QTemporaryDir m_dir;
    bool m_ready = false;
    QString m_problem;
};
