#include "store/PropertiesStore.h"
#include "store/StoreError.h"

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(StoredValue, DecodingOrderOfStoredTexts)
{
    struct Row {
        const char* stored;
        bool integerStep;
        StoredValue expected;
    };
    const Row rows[] = {
        { "\"0123\"", true, QString("0123") },
        { "0123", true, qint64(123) },
        { "-7", true, qint64(-7) },
        { "0123", false, 123.0 },
        { "1.50", true, 1.5 },
        { "2e3", true, 2000.0 },
        { "1,5", true, QString("1,5") },
        { "inf", true, QString("inf") },
        { "99999999999", true, 99999999999.0 },
        { "\"\"", true, QString() },
        { "\"", true, QString("\"") },
        { "\"a\" b", true, QString("\"a\" b") },
        { "\"\"x\"\"", true, QString("\"x\"") },
        { "", true, QString() },
    };
    for (const Row& row : rows)
        EXPECT_EQ(decodeStoredText(QString::fromLatin1(row.stored), row.integerStep), row.expected)
            << row.stored;

    const QDate date(2024, 3, 5);
    const QString shortDate = QLocale::system().toString(date, QLocale::ShortFormat);
    const StoredValue decoded = decodeStoredText(shortDate, true);
    ASSERT_TRUE(std::holds_alternative<QDateTime>(decoded)) << shortDate.toStdString();
    EXPECT_EQ(printedForm(decoded), shortDate);
}

TEST(StoreItems, TextsTakeThePrintedFormAndBooleansTrueOrFalseInAnyCase)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("items.ini");
    auto restore = [&file](const QByteArray& stored, QString& text, bool& flag) {
        QFile out(file);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write("[Item: TcxPropertiesStoreComponent]\r\n" + stored);
        out.close();
        TcxPropertiesStore store;
        store.addText("Item", "Text", text);
        store.addBoolean("Item", "Enabled", flag);
        store.SetStorageName(file);
        store.RestoreProperties();
    };
    QString text;
    bool flag = true;
    restore("Text=42\r\nEnabled=fALSE\r\n", text, flag);
    EXPECT_EQ(text, "42");
    EXPECT_FALSE(flag);
    restore("Enabled=\"TRUE\"\r\nText=\"\"\r\n", text, flag);
    EXPECT_TRUE(flag);
    EXPECT_EQ(text, "");

    for (const char* bad : { "Yes", "1", "\"True \"", "\"\"" }) {
        try {
            restore(QByteArray("Enabled=") + bad + "\r\n", text, flag);
            ADD_FAILURE() << bad;
        } catch (const EPropertiesStore& e) {
            EXPECT_TRUE(e.message().startsWith(QStringLiteral("Invalid property element: "))) << bad;
        }
    }
}
