#pragma once

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

// The controls a project frame keeps in its two stores, with their design defaults.
struct FrameControls {
    FrameControls();
    QCheckBox* checkBox(const char* engine) const;
    QLineEdit* edit(const QString& name) const;
    QLineEdit* keyword(int n) const { return edit(QStringLiteral("edKeyWord%1").arg(n)); }

    std::unique_ptr<QWidget> frame;
    QRadioButton* RBDefault;
    QRadioButton* RBProxy;
    QGroupBox* GBProxy;
    QGroupBox* GBUser;
};

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
