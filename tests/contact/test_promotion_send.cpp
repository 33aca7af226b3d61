#include "contact/PromotionRequest.h"
#include "net/HttpClient.h"
#include "support/SandboxEngines.h"

#include <gtest/gtest.h>

namespace {

const QByteArray kAgent = "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)";

PromotionFields someFields()
{
    PromotionFields fields;
    fields.name = QStringLiteral("Ольга");
    fields.mail = QStringLiteral("olga@example.ru");
    fields.site = QStringLiteral("http://www.example.ru");
    fields.keywords[0] = QStringLiteral("пластиковые окна");
    return fields;
}

class PromotionSend : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(sandbox.started()); }

    QString feedback() const { return sandbox.host(QStringLiteral("Feedback")); }

    SandboxEngines sandbox;
    CookieStore cookies;
    HttpClient client { cookies, HttpVersion::Http10 };
};

} // namespace

TEST_F(PromotionSend, OnePostOverHttp10WithTheProfileHeaders)
{
    const PromotionRequest request(someFields());
    request.send(client, feedback());

    const QList<SandboxEngines::Request> received = sandbox.requests(QStringLiteral("Feedback"));
    ASSERT_EQ(received.size(), 1);
    EXPECT_EQ(received[0].body, request.body());
    EXPECT_EQ(received[0].head,
        "POST /promoscript/feedback_new.php HTTP/1.0\r\n"
        "Connection: keep-alive\r\n"
        "Content-Type: application/x-www-form-urlencoded\r\n"
        "Content-Length: "
            + QByteArray::number(request.body().size())
            + "\r\n"
              "Cache-control: no-cache\r\n"
              "Pragma: no-cache\r\n"
              "Host: "
            + feedback().toLatin1() + "\r\nAccept: text/html, */*\r\n" + kAgent + "\r\n\r\n");
}

TEST_F(PromotionSend, EverySendClosesTheOpenConnectionFirst)
{
    const PromotionRequest request(someFields());
    request.send(client, feedback());
    request.send(client, feedback());
    const QList<SandboxEngines::Request> received = sandbox.requests(QStringLiteral("Feedback"));
    ASSERT_EQ(received.size(), 2);
    EXPECT_NE(received[0].connection, received[1].connection);
}
