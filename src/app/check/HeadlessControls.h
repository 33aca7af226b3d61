#pragma once

#include "net/ConnectionSettings.h"
#include "rank/lookup/Engine.h"

#include <QObject>
#include <QString>
#include <QStringList>

// Stand-ins for the frame's input controls, carrying only the properties the property stores
// keep, so that the stores read a project file and the remembered connection settings without
// a window.
class StoredCheck : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool checked MEMBER m_checked)
public:
    StoredCheck(const QString& name, bool checked, QObject* parent);
    bool isChecked() const { return m_checked; }

private:
    bool m_checked;
};

class StoredGroup : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool enabled MEMBER m_enabled)
public:
    StoredGroup(const QString& name, QObject* parent);

private:
    bool m_enabled = false;
};

class StoredEdit : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString text MEMBER m_text)
public:
    StoredEdit(const QString& name, QObject* parent);
    const QString& text() const { return m_text; }

private:
    QString m_text;
};

// A project's inputs as a newly created frame holds them after LoadProject.
struct ProjectInputs {
    QString site;
    QStringList keywords; // seven
    bool checked[6] = {}; // by engine, in the order of kEngines
};

// Reads a project file by the project-file rules. Unlike opening a project in the window,
// a missing file is an error: EPropertiesStore "Cannot open file "%s". %s".
ProjectInputs readProjectFile(const QString& path);

// The connection settings a new project frame starts with, from the per-user registry.
ConnectionSettings readRememberedSettings();
