#pragma once

#include <QObject>
#include <QString>

// The remembered folder of an open or save dialog, kept by a store as its InitialDir.
class DialogFolder : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString InitialDir READ InitialDir WRITE SetInitialDir)
public:
    using QObject::QObject;
    QString InitialDir() const { return m_initialDir; }
    void SetInitialDir(const QString& folder) { m_initialDir = folder; }

private:
    QString m_initialDir;
};
