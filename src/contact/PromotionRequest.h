#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <array>

class HttpClient;

// What the promotion request form holds when the user sends it.
struct PromotionFields {
    static constexpr int KeywordCount = 7;

    QString name; // Edit1
    QString mail; // Edit2
    QString site; // Edit3
    QString phone; // Edit4
    std::array<QString, KeywordCount> keywords; // Edit5 .. Edit11
    QString comment; // Memo1, line breaks as the memo gives them
};

// The request to promote a site, sent to the maker's feedback script as one form POST.
class PromotionRequest {
public:
    explicit PromotionRequest(const PromotionFields& fields);

    // The fourteen lines "name=value" in Windows-1251, line 2 onwards beginning with "&".
    QList<QByteArray> lines() const;
    // The lines by the form body rule; besides, an "&", "=" or "+" the user typed is escaped,
    // so that the script reads every field as it was typed.
    QByteArray body() const;

    static QByteArray url(const QString& feedbackHost); // host or host:port
    // Closes the client's open connections, then posts the body; throws EHttpError when the
    // request fails (connection, redirect, any status outside 2xx). The reply is not read.
    void send(HttpClient& client, const QString& feedbackHost) const;

private:
    PromotionFields m_fields;
};
