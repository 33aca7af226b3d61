#include "platform/DottedVersion.h"

#include <gtest/gtest.h>

namespace {

struct VersionOrder {
    const char* offered;
    const char* current;
    bool later;
};

class DottedVersions : public ::testing::TestWithParam<VersionOrder> { };

TEST_P(DottedVersions, AreComparedPartByPart)
{
    EXPECT_EQ(DottedVersion::isLater(GetParam().offered, GetParam().current), GetParam().later)
        << GetParam().offered << " against " << GetParam().current;
}

INSTANTIATE_TEST_SUITE_P(Rows, DottedVersions,
    ::testing::Values(VersionOrder { "2026.12.7.1", "2026.12.7", true },
        VersionOrder { "2026.12.10", "2026.12.9", true }, VersionOrder { "2026.12.7", "2026.12.7.0", false },
        VersionOrder { "2026.12.6", "2026.12.7", false }, VersionOrder { "2027", "2026.12.31.9", true },
        VersionOrder { "x", "1", false }, VersionOrder { "2", "1.x", false },
        VersionOrder { "1.2.3.4.5", "1", false }));

} // namespace
