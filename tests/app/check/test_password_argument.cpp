#include "app/check/CheckArguments.h"
#include "support/CheckerProgram.h"
#include "support/ProjectFiles.h"
#include "support/RawHttpListener.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <vector>

namespace {

std::vector<QByteArray> hidden(const std::vector<const char*>& arguments)
{
    std::vector<QByteArray> bytes(arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (QByteArray& argument : bytes)
        argv.push_back(argument.data());
    hidePasswordArguments(int(argv.size()), argv.data());
    return bytes;
}

} // namespace

TEST(PasswordArgument, OnlyTheValueOfProxyPassIsOverwritten)
{
    EXPECT_EQ(hidden({ "kestrova-check", "--proxy", "p:3128", "--proxy-user", "me", "--proxy-pass", "s3cr3t",
                  "site.zlt" }),
        std::vector<QByteArray>({ "kestrova-check", "--proxy", "p:3128", "--proxy-user", "me", "--proxy-pass",
            "xxxxxx", "site.zlt" }));
    // A value spelt like the option is a value, and the option given last has nothing to hide.
    EXPECT_EQ(hidden({ "kestrova-check", "--xlsx", "--proxy-pass", "secret", "--proxy-pass" }),
        std::vector<QByteArray>({ "kestrova-check", "--xlsx", "--proxy-pass", "secret", "--proxy-pass" }));
    EXPECT_EQ(hidden({ "kestrova-check", "--proxy-pass", "" }),
        std::vector<QByteArray>({ "kestrova-check", "--proxy-pass", "" }));
    EXPECT_EQ(hidden({ "kestrova-check", "--proxy-pass=s3cr3t", "--xlsx", "--proxy-pass=kept.xlsx" }),
        std::vector<QByteArray>(
            { "kestrova-check", "--proxy-pass=xxxxxx", "--xlsx", "--proxy-pass=kept.xlsx" }));
}

TEST(PasswordArgument, AHistoryConnectionStringWithAPasswordIsOverwritten)
{
    EXPECT_EQ(
        hidden({ "kestrova-check", "--history", "host=db password=s3", "--history=postgresql://a:s3@db/h",
            "--history-copy", "/h.sqlite", "dbname=h password=s3", "--history", "host=db dbname=h" }),
        std::vector<QByteArray>(
            { "kestrova-check", "--history", "xxxxxxxxxxxxxxxxxxx", "--history=xxxxxxxxxxxxxxxxxxxxxx",
                "--history-copy", "/h.sqlite", "xxxxxxxxxxxxxxxxxxxx", "--history", "host=db dbname=h" }));
}

TEST(PasswordArgument, TheEqualsFormIsTakenAndNeverEchoed)
{
    const auto parsed = parseCheckArguments(
        { "--proxy=h:1", "--proxy-user=ivan", "--proxy-pass=se=cret", "--xlsx=out.xlsx", "a.zlt" });
    ASSERT_TRUE(std::holds_alternative<CheckArguments>(parsed));
    EXPECT_EQ(std::get<CheckArguments>(parsed).proxy->password, QStringLiteral("se=cret"));
    EXPECT_EQ(std::get<CheckArguments>(parsed).xlsxPath, QStringLiteral("out.xlsx"));
    const QList<QPair<QStringList, QString>> refused = {
        { { "--proxy-password=hunter2", "a.zlt" }, "неизвестный параметр --proxy-password" },
        { { "-proxy-pass=hunter2", "a.zlt" }, "неизвестный параметр -proxy-pass" },
        { { "--json=hunter2", "a.zlt" }, "--json не принимает значения" },
        { { "--proxy=h:1", "--proxy-user=u", "--proxy-pass=a", "--proxy-pass=hunter2", "a.zlt" },
            "--proxy-pass указан дважды" },
    };
    for (const auto& [arguments, message] : refused) {
        const auto result = parseCheckArguments(arguments);
        ASSERT_TRUE(std::holds_alternative<UsageError>(result)) << arguments.join(' ').toStdString();
        EXPECT_EQ(std::get<UsageError>(result).text, message);
    }
}

TEST(PasswordArgument, TheProcessListNoLongerHoldsItOnceTheCheckHasStarted)
{
    // The proxy takes the first request and never answers, so the check waits there.
    RawHttpListener proxy;
    RawHttpListener::Reply silent;
    silent.stall = true;
    proxy.setReply(silent);
    QTemporaryDir dir;
    const QString project = dir.filePath(QStringLiteral("site.zlt"));
    TestProject inputs;
    inputs.keywords[0] = QStringLiteral("kw1");
    inputs.checked = { "GoogleCom" };
    ASSERT_TRUE(writeProjectFile(project, inputs));

    QProcess process;
    process.setProcessEnvironment(checkerEnvironment({}, dir.filePath(QStringLiteral("config"))));
    process.start(checkerProgram(),
        { "--no-history", "--proxy", QString::fromLatin1(proxy.hostPort()), "--proxy-user", "me",
            "--proxy-pass", "pass-W0rd-9137", project });
    ASSERT_TRUE(process.waitForStarted(10000));
    const QDeadlineTimer deadline(30000);
    while (proxy.requests().isEmpty() && !deadline.hasExpired())
        QThread::msleep(20);
    ASSERT_FALSE(proxy.requests().isEmpty()) << process.readAllStandardError().constData();

    QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(process.processId()));
    ASSERT_TRUE(cmdline.open(QIODevice::ReadOnly));
    const QByteArray shown = cmdline.readAll();
    EXPECT_FALSE(shown.contains("pass-W0rd-9137")) << shown.constData();
    EXPECT_TRUE(shown.contains(QByteArray("--proxy-pass\0xxxxxxxxxxxxxx\0", 28))) << shown.constData();
    // The password still reached the proxy.
    EXPECT_TRUE(proxy.requests().first().contains(
        "Proxy-Authorization: Basic " + QByteArray("me:pass-W0rd-9137").toBase64()));
    process.kill();
    process.waitForFinished(10000);
}
