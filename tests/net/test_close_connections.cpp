#include "net/HttpClient.h"
#include "support/RawHttpListener.h"

#include <gtest/gtest.h>

TEST(CloseConnections, TheNextRequestConnectsAnew)
{
    RawHttpListener listener;
    CookieStore cookies;
    HttpClient client(cookies);
    client.get(listener.url("/1"));
    client.get(listener.url("/2"));
    EXPECT_EQ(listener.connectionCount(), 1);

    client.closeConnections();
    client.get(listener.url("/3"));
    EXPECT_EQ(listener.connectionCount(), 2);
    client.closeConnections();
    client.closeConnections();
    EXPECT_EQ(client.get(listener.url("/4")), "OK");
    EXPECT_EQ(listener.connectionCount(), 3);
    EXPECT_EQ(listener.requests().size(), 4);
}

TEST(CloseConnections, WithNothingOpenTheClientStillWorks)
{
    RawHttpListener listener;
    HttpClient client(HttpClient::Version::Http10);
    client.closeConnections();
    EXPECT_EQ(client.postBody(listener.url("/form"), "a=%26&b"), "OK");
    EXPECT_TRUE(listener.lastRequest().endsWith("\r\n\r\na=%26&b"));
    EXPECT_TRUE(listener.lastRequest().contains("\r\nContent-Length: 7\r\n"));
}
