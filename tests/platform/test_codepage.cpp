#include "platform/CodePage.h"
#include "platform/TickCount.h"

#include <gtest/gtest.h>

TEST(CodePage, CyrillicRoundTripsThroughWindows1251)
{
    const QString word = QString::fromUtf8("Ключевое слово ёЁ");
    const QByteArray ansi = CodePage::toAnsi(word);
    EXPECT_EQ(ansi.size(), word.size());
    EXPECT_EQ(static_cast<unsigned char>(ansi[0]), 0xCA); // К
    EXPECT_EQ(static_cast<unsigned char>(ansi[15]), 0xB8); // ё
    EXPECT_EQ(CodePage::fromAnsi(ansi), word);
}

TEST(CodePage, EveryByteOfWindows1251ComesBackAsItWas)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    EXPECT_EQ(CodePage::toAnsi(CodePage::fromAnsi(all)), all);
    EXPECT_EQ(CodePage::fromAnsi("\x98"), QString(QChar(0x0098)));
}

TEST(CodePage, UnmappableCharactersBecomeQuestionMarks)
{
    EXPECT_EQ(CodePage::toAnsi(QString::fromUtf8("a\u4e2db")), QByteArray("a?b"));
}

TEST(TickCount, DifferencesSurviveTheWrap)
{
    TickCount::setOffsetForTesting(0u - TickCount::now() - 5); // five ticks before the wrap
    const std::uint32_t start = TickCount::now();
    EXPECT_GT(start, 0xFFFF0000u);
    EXPECT_LT(TickCount::since(start), 1000u);
    TickCount::setOffsetForTesting(0);
}
