#include "contact/PromotionRequest.h"

#include "net/FormBody.h"
#include "net/HttpClient.h"
#include "platform/CodePage.h"

namespace {

constexpr int kFirstTypedLine = 1; // lines 2 to 13 carry what the user typed
constexpr int kLastTypedLine = 12;

QByteArray ansi(const QString& text)
{
    return CodePage::toAnsi(text);
}

// The memo's line breaks go out as carriage return and line feed, whatever the toolkit gave.
QString withCrLf(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return text;
}

// The rule leaves these bytes as they are, but inside a typed value they would end the field,
// start a new one, or turn into a blank at the script.
QByteArray escapeSeparators(const QByteArray& encodedLine)
{
    const qsizetype eq = encodedLine.indexOf('=');
    QByteArray value = encodedLine.mid(eq + 1);
    value.replace('&', "%26").replace('=', "%3D").replace('+', "%2B");
    return encodedLine.left(eq + 1) + value;
}

} // namespace

PromotionRequest::PromotionRequest(const PromotionFields& fields)
    : m_fields(fields)
{
}

QList<QByteArray> PromotionRequest::lines() const
{
    QList<QByteArray> lines;
    lines << "Promoscript=&usr_category=ZAD+Order";
    lines << "&usr_name=" + ansi(m_fields.name);
    lines << "&usr_mail=" + ansi(m_fields.mail);
    lines << "&usr_site=" + ansi(m_fields.site);
    lines << "&usr_phone=" + ansi(m_fields.phone);
    for (int n = 1; n <= PromotionFields::KeywordCount; ++n)
        lines << "&usr_key" + QByteArray::number(n) + '=' + ansi(m_fields.keywords[n - 1]);
    lines << "&usr_mes=ZLT form sending: ZLT132  " + ansi(withCrLf(m_fields.comment));
    lines << "&submit=%CE%F2%EF%F0%E0%E2%E8%F2%FC";
    return lines;
}

QByteArray PromotionRequest::body() const
{
    // Encoded line by line so that the typed values can be told apart from the fixed text;
    // joined, the lines give what the rule gives for the whole list.
    const QList<QByteArray> all = lines();
    QList<QByteArray> encoded;
    for (int i = 0; i < all.size(); ++i) {
        const QByteArray line = formBody({ all[i] });
        encoded << (i >= kFirstTypedLine && i <= kLastTypedLine ? escapeSeparators(line) : line);
    }
    return encoded.join('&');
}

QByteArray PromotionRequest::url(const QString& feedbackHost)
{
    return "http://" + feedbackHost.toLatin1() + "/promoscript/feedback_new.php";
}

void PromotionRequest::send(HttpClient& client, const QString& feedbackHost) const
{
    const QByteArray target = url(feedbackHost);
    const QByteArray content = body();
    client.closeConnections();
    client.postBody(target, content);
}
