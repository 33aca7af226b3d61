#include "platform/ui/QtTranslation.h"

#include <QApplication>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(QtTranslation, StandardButtonsReadRussian)
{
    ASSERT_TRUE(installRussianQtTranslation(*QCoreApplication::instance()));
    QMessageBox box(QMessageBox::Warning, QStringLiteral("t"), QStringLiteral("?"),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Yes)->text().remove(u'&'), QStringLiteral("Да"));
    EXPECT_EQ(box.button(QMessageBox::No)->text().remove(u'&'), QStringLiteral("Нет"));
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text().remove(u'&'), QStringLiteral("Отмена"));
}

TEST(QtTranslation, TheFileDialogsTypeColumnReadsRussian)
{
    ASSERT_TRUE(installRussianQtTranslation(*QCoreApplication::instance()));
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QFileIconProvider provider;
    EXPECT_EQ(provider.type(QFileInfo(folder.path())), QStringLiteral("Папка"));
    EXPECT_EQ(provider.type(QFileInfo(QStringLiteral("/"))), QStringLiteral("Диск"));
}
