#pragma once

#include "rank/project/Project.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

// A project as a new frame holds it before a file is opened into it.
Project designProject();

// A temporary folder for files and a per-user configuration folder of its own.
class StoreTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QString configRoot() const { return m_dir.filePath(QStringLiteral("config")); }

    QTemporaryDir m_dir;

private:
    bool m_hadConfigHome = false;
    QByteArray m_savedConfigHome;
};

QByteArray readBytes(const QString& path);
void writeBytes(const QString& path, const QByteArray& bytes);
