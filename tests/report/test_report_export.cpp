#include "report/Automation.h"
#include "report/ReportExport.h"
#include "report/ReportFormat.h"

#include <gtest/gtest.h>

namespace {

// Records the automation calls of an export as "Object.Member=value" lines; can be told to fail
// one member, and counts the objects still referenced.
struct CallLog {
    QStringList calls;
    QString failing;
    int liveObjects = 0;

    void call(const QString& line)
    {
        calls << line;
        if (!failing.isEmpty() && line.startsWith(failing))
            throw AutomationError(QStringLiteral("The remote procedure call failed."));
    }
};

class Counted {
public:
    explicit Counted(CallLog& log)
        : m_log(log)
    {
        ++m_log.liveObjects;
    }
    ~Counted() { --m_log.liveObjects; }

protected:
    CallLog& m_log;
};

class LoggedRange : public SpreadsheetRange, Counted {
public:
    LoggedRange(CallLog& log, QString name)
        : Counted(log)
        , m_name(std::move(name))
    {
    }
    void borderAround(int style, int weight, int color) override
    {
        m_log.call(m_name + QStringLiteral(".BorderAround(%1,%2,%3)").arg(style).arg(weight).arg(color));
    }
    void setFontSize(int points) override
    {
        m_log.call(m_name + QStringLiteral(".Font.Size=%1").arg(points));
    }
    void setFontBold(bool bold) override { m_log.call(m_name + QStringLiteral(".Font.Bold=%1").arg(bold)); }
    void setFontColor(int color) override
    {
        m_log.call(m_name + QStringLiteral(".Font.Color=%1").arg(color, 0, 16));
    }
    void setInteriorColor(int color) override
    {
        m_log.call(m_name + QStringLiteral(".Interior.Color=%1").arg(color, 0, 16));
    }
    void setRowHeight(double points) override
    {
        m_log.call(m_name + QStringLiteral(".RowHeight=%1").arg(points));
    }
    void setColumnWidth(double width) override
    {
        m_log.call(m_name + QStringLiteral(".ColumnWidth=%1").arg(width));
    }
    void setValue(const QList<QStringList>& rows) override
    {
        m_log.call(m_name + QStringLiteral(".Value=%1x%2").arg(rows.size()).arg(rows.value(0).size()));
    }

private:
    QString m_name;
};

class LoggedSheet : public SpreadsheetSheet, Counted {
public:
    using Counted::Counted;
    void setName(const QString& name) override { m_log.call(QStringLiteral("Sheet.Name=") + name); }
    std::unique_ptr<SpreadsheetRange> range(const CellRange& cells) override
    {
        return std::make_unique<LoggedRange>(m_log, QStringLiteral("Range(%1)").arg(cells.address()));
    }
    std::unique_ptr<SpreadsheetRange> column(int column) override
    {
        return std::make_unique<LoggedRange>(m_log, QStringLiteral("Columns(%1)").arg(column));
    }
};

class LoggedWorkbook : public SpreadsheetWorkbook, Counted {
public:
    using Counted::Counted;
    std::unique_ptr<SpreadsheetSheet> worksheet(int index) override
    {
        m_log.call(QStringLiteral("WorkSheets(%1)").arg(index));
        return std::make_unique<LoggedSheet>(m_log);
    }
};

class LoggedApplication : public SpreadsheetApplication, Counted {
public:
    using Counted::Counted;
    void setEnableEvents(bool enabled) override
    {
        m_log.call(QStringLiteral("EnableEvents=%1").arg(enabled));
    }
    std::unique_ptr<SpreadsheetWorkbook> addWorkbook() override
    {
        m_log.call(QStringLiteral("WorkBooks.Add"));
        return std::make_unique<LoggedWorkbook>(m_log);
    }
    void setVisible(bool visible) override { m_log.call(QStringLiteral("Visible=%1").arg(visible)); }
};

class LoggedAutomation : public Automation {
public:
    explicit LoggedAutomation(CallLog& log)
        : m_log(log)
    {
    }
    bool IsProgIDRegistered(const QString& progId) override
    {
        m_log.call(QStringLiteral("IsProgIDRegistered(%1)").arg(progId));
        return registered;
    }
    std::unique_ptr<SpreadsheetApplication> CreateOleObject(const QString& progId) override
    {
        m_log.call(QStringLiteral("CreateOleObject(%1)").arg(progId));
        return std::make_unique<LoggedApplication>(m_log);
    }
    bool registered = true;

private:
    CallLog& m_log;
};

const Project kProject;
const ProjectResults kResults;

ReportExport::Request requestLogging(CallLog&)
{
    return { QStringLiteral("Новый проект"), kProject, kResults, QDate(2026, 12, 7) };
}

TEST(ReportExport, CallsRunInTheOrderOfTheExport)
{
    CallLog log;
    LoggedAutomation automation(log);
    QStringList messages;
    ReportExport::run(
        automation, requestLogging(log), [&messages](const QString& text) { messages << text; });

    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(log.liveObjects, 0);
    const QStringList start { "IsProgIDRegistered(Excel.Application)", "CreateOleObject(Excel.Application)",
        "EnableEvents=0", "WorkBooks.Add", "WorkSheets(1)", QStringLiteral("Sheet.Name=Новый проект"),
        "Range(B3:U24).BorderAround(1,2,0)", "Range(B3:U24).Font.Size=9" };
    ASSERT_GT(log.calls.size(), start.size() + 2);
    EXPECT_EQ(log.calls.mid(0, start.size()), start);
    EXPECT_EQ(log.calls.mid(log.calls.size() - 3),
        (QStringList { "Range(C36).Font.Color=c0c0c0", "Range(A1:Y40).Value=40x25", "Visible=1" }));
    // Every format call lies between the sheet's name and the assignment of the grid.
    int formatCalls = 0;
    for (qsizetype i = start.size() - 2; i < log.calls.size() - 2; ++i)
        formatCalls += log.calls[i].startsWith("Range(") || log.calls[i].startsWith("Columns(") ? 1 : 0;
    int actions = 0;
    for (const FormatStep& step : ReportFormat::standard().steps)
        actions += int(step.actions.size());
    EXPECT_EQ(formatCalls, actions);
}

TEST(ReportExport, WithoutTheSpreadsheetNothingIsCreated)
{
    CallLog log;
    LoggedAutomation automation(log);
    automation.registered = false;
    QStringList messages;
    ReportExport::run(
        automation, requestLogging(log), [&messages](const QString& text) { messages << text; });
    EXPECT_EQ(messages, QStringList { ReportExport::notInstalledMessage() });
    EXPECT_EQ(log.calls, QStringList { "IsProgIDRegistered(Excel.Application)" });
    EXPECT_TRUE(ReportExport::notInstalledMessage().contains(QStringLiteral(".\n\rУ")));
}

class FailingCall : public ::testing::TestWithParam<const char*> { };

TEST_P(FailingCall, EndsTheExportThereReleasingEveryObjectAndShowingNothing)
{
    CallLog log;
    log.failing = QString::fromLatin1(GetParam());
    LoggedAutomation automation(log);
    EXPECT_THROW(
        ReportExport::run(automation, requestLogging(log), [](const QString&) { FAIL(); }), AutomationError);
    EXPECT_EQ(log.liveObjects, 0);
    EXPECT_TRUE(log.calls.last().startsWith(log.failing));
    EXPECT_FALSE(log.calls.contains("Visible=1") && log.failing != "Visible");
}

INSTANTIATE_TEST_SUITE_P(Members, FailingCall,
    ::testing::Values(
        "WorkBooks.Add", "Sheet.Name", "Range(D4:U5)", "Columns(12)", "Range(A1:Y40).Value", "Visible"));

TEST(ReportFormat, ThirteenStepsReplayedInTheirOrder)
{
    const ReportFormat format = ReportFormat::standard();
    ASSERT_EQ(format.steps.size(), 13);
    // Step 1: the border comes before the font size; step 9 fills the keyword rows top down.
    EXPECT_TRUE(std::holds_alternative<BorderAround>(format.steps[0].actions.value(0).setting));
    ASSERT_EQ(format.steps[8].actions.size(), 7);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(format.steps[8].actions[i].target, (CellRange { { 9 + 2 * i, 3 }, { 9 + 2 * i, 21 } }));
    ASSERT_EQ(format.steps[11].actions.size(), 21);
    for (int column = 1; column <= 21; ++column)
        EXPECT_EQ(format.steps[11].actions[column - 1].target.first.column, column);
}

} // namespace
