#include "app/frame/TfrRank.h"
#include "platform/ui/SingleLineEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace {

struct LineCase {
    const char* given;
    const char* kept;
};

class FirstLineOfText : public ::testing::TestWithParam<LineCase> { };

// The eight edits of the project inputs.
class ProjectEdit : public ::testing::TestWithParam<const char*> {
protected:
    QLineEdit* edit() { return frame.findChild<QLineEdit*>(GetParam()); }
    TfrRank frame;
};

} // namespace

TEST_P(FirstLineOfText, KeepsTheTextBeforeTheFirstLineBreak)
{
    EXPECT_EQ(firstLine(QString::fromUtf8(GetParam().given)), QString::fromUtf8(GetParam().kept));
}

INSTANTIATE_TEST_SUITE_P(Texts, FirstLineOfText,
    ::testing::Values(LineCase { "plain keyword", "plain keyword" }, LineCase { "line1\nline2", "line1" },
        LineCase { "line1\r\nline2", "line1" }, LineCase { "line1\rline2", "line1" },
        LineCase { "\nsecond", "" }, LineCase { "окна\n[edWEB: TcxPropertiesStoreComponent]", "окна" },
        LineCase { "tab\tstays", "tab\tstays" }));

TEST_P(ProjectEdit, TextSetByTheProgramKeepsItsFirstLine)
{
    ASSERT_NE(edit(), nullptr);
    edit()->setText("line1\r\nText=\"evil\"\n[edWEB: TcxPropertiesStoreComponent]");
    EXPECT_EQ(edit()->text(), "line1");
}

TEST_P(ProjectEdit, PastedTextKeepsItsFirstLine)
{
    ASSERT_NE(edit(), nullptr);
    edit()->setText("ab");
    edit()->setCursorPosition(1);
    QApplication::clipboard()->setText("X\nY");
    edit()->paste();
    EXPECT_EQ(edit()->text(), "aX");
}

INSTANTIATE_TEST_SUITE_P(Edits, ProjectEdit,
    ::testing::Values("edWEB", "edKeyWord1", "edKeyWord2", "edKeyWord3", "edKeyWord4", "edKeyWord5",
        "edKeyWord6", "edKeyWord7"));
