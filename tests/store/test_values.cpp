#include "store/PropertyAccess.h"
#include "store/StoreError.h"

#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QSpinBox>
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

TEST(PropertyAccess, NamesFollowTheComponentsProperties)
{
    QLabel label("caption");
    QLineEdit edit;
    QSpinBox spin;
    spin.setRange(0, 1000);

    EXPECT_EQ(readProperty(&label, "Caption"), StoredValue(QString("caption")));
    EXPECT_EQ(readProperty(&edit, "Enabled"), StoredValue(QString("True")));
    EXPECT_EQ(readProperty(&edit, "EchoMode"), StoredValue(QString("Normal")));
    EXPECT_EQ(readProperty(&spin, "Value"), StoredValue(qint64(0)));
    QObject plain;
    EXPECT_FALSE(readProperty(&plain, "Caption"));
    EXPECT_FALSE(readProperty(&edit, "NoSuchProperty"));

    assignProperty(&edit, "Text", qint64(42));
    EXPECT_EQ(edit.text(), "42");
    assignProperty(&edit, "Enabled", QString("fALSE"));
    EXPECT_FALSE(edit.isEnabled());
    assignProperty(&edit, "EchoMode", QString("password"));
    EXPECT_EQ(edit.echoMode(), QLineEdit::Password);
    assignProperty(&spin, "Value", QString("17"));
    EXPECT_EQ(spin.value(), 17);
    assignProperty(&edit, "NoSuchProperty", QString("ignored"));

    for (const char* bad : { "Yes", "1", "True ", "" }) {
        try {
            assignProperty(&edit, "Enabled", QString(bad));
            ADD_FAILURE() << bad;
        } catch (const EPropertiesStore& e) {
            EXPECT_EQ(e.message(), QStringLiteral("Invalid property element: ") + bad);
        }
    }
    EXPECT_THROW(assignProperty(&edit, "EchoMode", QString("Bogus")), EPropertiesStore);
}
