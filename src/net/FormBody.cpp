#include "net/FormBody.h"

namespace {

bool passesUnchanged(unsigned char c)
{
    switch (c) {
    case ' ':
    case '#':
    case '%':
    case '*':
    case '<':
    case '>':
    case '[':
    case ']':
        return false;
    default:
        return c >= 33 && c <= 128;
    }
}

QByteArray encodeValue(const QByteArray& value)
{
    static const char hex[] = "0123456789ABCDEF";
    QByteArray out;
    out.reserve(value.size() * 3);
    for (const char ch : value) {
        const auto c = static_cast<unsigned char>(ch);
        if (passesUnchanged(c)) {
            out += ch;
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 0x0F];
        }
    }
    return out;
}

bool isBlankOrControl(char c)
{
    return static_cast<unsigned char>(c) <= ' ';
}

} // namespace

QByteArray formBody(const QList<QByteArray>& lines)
{
    QByteArray body;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            body += '&';
        const QByteArray& line = lines[i];
        const qsizetype eq = line.indexOf('=');
        if (eq < 0) {
            body += line;
            continue;
        }
        body += line.left(eq + 1);
        body += encodeValue(line.mid(eq + 1));
    }
    qsizetype begin = 0;
    qsizetype end = body.size();
    while (begin < end && isBlankOrControl(body[begin]))
        ++begin;
    while (end > begin && isBlankOrControl(body[end - 1]))
        --end;
    return body.mid(begin, end - begin);
}
