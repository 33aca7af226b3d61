#include "platform/RegExportReader.h"

#include <gtest/gtest.h>

namespace {

struct RegExportCase {
    const char* name;
    QByteArray lines; // below a section of the store's item ProxyPass
    QStringList expected; // key=text
};

class RegExportRows : public testing::TestWithParam<RegExportCase> { };

QStringList read(const QByteArray& bytes)
{
    QStringList found;
    for (const auto& [key, text] : readRegExport(bytes, QStringLiteral("PropertiesStore")))
        found << key + u'=' + text;
    return found;
}

} // namespace

TEST_P(RegExportRows, TextValuesOnly)
{
    const QByteArray header
        = "Windows Registry Editor Version 5.00\r\n\r\n"
          "[HKEY_CURRENT_USER\\Tellvik\\Kestrova Sertrix\\PropertiesStore\\ProxyPass]\r\n";
    EXPECT_EQ(read(header + GetParam().lines), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Values, RegExportRows,
    testing::Values(RegExportCase { "Escapes", "\"Text\"=\"\\\"a\\\\b\\\"\"",
                        { "PropertiesStore/ProxyPass/Text=\"a\\b\"" } },
        RegExportCase { "Utf16Text", "\"Text\"=hex(1):22,00,0a,00,42,04,22,00,00,00",
            { QString::fromUtf8("PropertiesStore/ProxyPass/Text=\"\nт\"") } },
        RegExportCase { "OtherKinds", "\"N\"=dword:0000002a\n\"B\"=hex:00,01\n\"E\"=hex(2):41,00,00,00", {} },
        RegExportCase { "DefaultValue", "@=\"x\"", {} },
        RegExportCase { "Unterminated", "\"Text\"=\"abc\n\"Te", {} },
        RegExportCase { "NameWithSlash", "\"a/b\"=\"x\"", {} },
        RegExportCase { "OtherStore",
            "[HKEY_CURRENT_USER\\Tellvik\\Kestrova Sertrix\\VerStore\\lblVer]\n\"Caption\"=\"x\"", {} },
        RegExportCase { "OtherRoot",
            "[HKEY_LOCAL_MACHINE\\Tellvik\\Kestrova Sertrix\\PropertiesStore\\X]\n\"Text\"=\"x\"", {} },
        RegExportCase { "Subkey",
            "[hkey_current_user\\tellvik\\kestrova sertrix\\propertiesstore\\RB\\[ClassName]]\n"
            "\"ClassName\"=\"TcxPropertiesStoreComponent\"",
            { "PropertiesStore/RB/[ClassName]/ClassName=TcxPropertiesStoreComponent" } }),
    [](const testing::TestParamInfo<RegExportCase>& info) { return std::string(info.param.name); });
