#include "net/HttpClient.h"
#include "support/RawHttpListener.h"

#include <gtest/gtest.h>

TEST(JsonRequests, CarryTheirHeadersAfterTheProgramsOwn)
{
    RawHttpListener listener;
    listener.setReply(RawHttpListener::ok("{}"));
    HttpClient client(HttpClient::Version::Http11);
    client.getJson(listener.url("/s?q=1"), { "X-API-KEY: k1" });
    EXPECT_EQ(listener.lastRequest(),
        "GET /s?q=1 HTTP/1.1\r\nCache-control: no-cache\r\nPragma: no-cache\r\nHost: " + listener.hostPort()
            + "\r\nAccept: application/json\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT "
              "5.1)\r\n"
              "X-API-KEY: k1\r\n\r\n");
    client.postJson(listener.url("/v2"), "{\"a\": 1}", {});
    EXPECT_TRUE(listener.lastRequest().startsWith("POST /v2 HTTP/1.1\r\nContent-Type: application/json\r\n"
                                                  "Content-Length: 8\r\n"));
    EXPECT_TRUE(listener.lastRequest().endsWith("\r\n\r\n{\"a\": 1}"));
}

TEST(JsonRequests, AHeaderWithALineBreakIsNotSent)
{
    RawHttpListener listener;
    HttpClient client(HttpClient::Version::Http11);
    try {
        client.getJson(listener.url("/"), { "X-API-KEY: k1\r\nX-Other: secret" });
        FAIL() << "sent";
    } catch (const EHttpError& e) {
        EXPECT_STREQ(e.what(), "A request header holds a line break");
    }
    EXPECT_TRUE(listener.requests().isEmpty());
}

TEST(JsonRequests, AnErrorTextLeavesTheQueryOut)
{
    HttpClient client(HttpClient::Version::Http11);
    try {
        client.getJson("http://[bad/search.json?api_key=secret", {});
        FAIL() << "sent";
    } catch (const EHttpError& e) {
        EXPECT_STREQ(e.what(), "неверный адрес: http://[bad/search.json?…");
    }
}
