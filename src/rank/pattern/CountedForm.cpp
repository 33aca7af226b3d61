#include "rank/pattern/CountedForm.h"

#include "rank/pattern/RegExpr.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <string>
#include <vector>

namespace {

enum class Mode { Greedy, Lazy, Possessive };

struct Quantifier {
    int min = 0;
    int max = -1; // -1: no bound
    Mode mode = Mode::Greedy;
    qsizetype length = 0;
};

enum class Kind { Byte, Class, GroupEnd, Other };

struct Item {
    Kind kind = Kind::Other;
    qsizetype end = 0;
};

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isAlnum(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) != 0;
}

[[noreturn]] void refuse(const char* what, qsizetype index)
{
    throw ERegExpr(std::string(what) + " (pos " + std::to_string(index + 1) + ")");
}

// Digits from i on; their value (at most 65535, as the engine allows) and where they end.
std::optional<int> numberAt(const QByteArray& p, qsizetype& i)
{
    const qsizetype begin = i;
    int value = 0;
    while (i < p.size() && isDigit(p[i]) && value <= 65535)
        value = value * 10 + (p[i++] - '0');
    if (i == begin)
        return std::nullopt;
    return value;
}

std::optional<Quantifier> quantifierAt(const QByteArray& p, qsizetype at)
{
    if (at >= p.size())
        return std::nullopt;
    Quantifier q;
    qsizetype i = at + 1;
    switch (p[at]) {
    case '*':
        break;
    case '+':
        q.min = 1;
        break;
    case '?':
        q.max = 1;
        break;
    case '{': {
        const std::optional<int> low = numberAt(p, i);
        if (!low || i >= p.size())
            return std::nullopt; // a literal brace
        q.min = *low;
        q.max = *low;
        if (p[i] == ',') {
            ++i;
            const std::optional<int> high = numberAt(p, i);
            q.max = high ? *high : -1;
        }
        if (i >= p.size() || p[i] != '}')
            return std::nullopt;
        ++i;
        break;
    }
    default:
        return std::nullopt;
    }
    if (i < p.size() && p[i] == '?') {
        q.mode = Mode::Lazy;
        ++i;
    } else if (i < p.size() && p[i] == '+') {
        q.mode = Mode::Possessive;
        ++i;
    }
    q.length = i - at;
    return q;
}

// The byte an escaped letter stands for, or 0 when it stands for no one byte.
char escapedByte(char letter)
{
    switch (letter) {
    case 't':
        return '\t';
    case 'n':
        return '\n';
    case 'r':
        return '\r';
    case 'f':
        return '\f';
    case 'e':
        return '\x1B';
    case 'a':
        return '\a';
    default:
        return 0;
    }
}

bool isClassEscape(char letter)
{
    return std::string_view("dDsSwWhHvV").find(letter) != std::string_view::npos;
}

// A class from its "[" to the byte after its "]".
qsizetype classEnd(const QByteArray& p, qsizetype i)
{
    ++i;
    if (i < p.size() && p[i] == '^')
        ++i;
    if (i < p.size() && p[i] == ']')
        ++i;
    while (i < p.size() && p[i] != ']') {
        if (p[i] == '\\') {
            if (i + 1 < p.size() && (p[i + 1] == 'Q' || p[i + 1] == 'E'))
                refuse("кавычки \\Q...\\E не входят в язык шаблонов", i);
            i += 2;
        } else if (p[i] == '[' && i + 1 < p.size()
            && (p[i + 1] == ':' || p[i + 1] == '.' || p[i + 1] == '=')) {
            const qsizetype close = p.indexOf(QByteArray(1, p[i + 1]) + ']', i + 2);
            i = close < 0 ? p.size() : close + 2;
        } else {
            ++i;
        }
    }
    return std::min(i + 1, p.size());
}

// The group opening at i: only capturing, non-capturing and named groups are read.
qsizetype groupOpeningEnd(const QByteArray& p, qsizetype i)
{
    if (i + 1 >= p.size())
        return i + 1;
    if (p[i + 1] == '*')
        refuse("глаголы управления перебором, как (*COMMIT), не входят в язык шаблонов", i);
    if (p[i + 1] != '?')
        return i + 1;
    const QByteArray rest = p.mid(i + 2, 2);
    if (rest.startsWith(':'))
        return i + 3;
    const bool named = rest.startsWith("P<") || rest.startsWith('\'')
        || (rest.size() == 2 && rest[0] == '<'
            && (std::isalpha(static_cast<unsigned char>(rest[1])) || rest[1] == '_'));
    if (named) {
        const qsizetype close = p.indexOf(rest.startsWith('\'') ? '\'' : '>', i + 3);
        return close < 0 ? p.size() : close + 1;
    }
    refuse("язык шаблонов знает только простые, незахватывающие и именованные группы", i);
}

Item itemAt(const QByteArray& p, qsizetype i)
{
    switch (p[i]) {
    case '\\': {
        if (i + 1 >= p.size())
            return { Kind::Other, i + 1 };
        const char letter = p[i + 1];
        if (letter == 'Q' || letter == 'E')
            refuse("кавычки \\Q...\\E не входят в язык шаблонов", i);
        if (!isAlnum(letter) || escapedByte(letter))
            return { Kind::Byte, i + 2 };
        if (isClassEscape(letter))
            return { Kind::Class, i + 2 };
        if (letter == 'b' || letter == 'B')
            return { Kind::Other, i + 2 };
        refuse("такая escape-последовательность не входит в язык шаблонов", i + 1);
    }
    case '[':
        return { Kind::Class, classEnd(p, i) };
    case '(':
        return { Kind::Other, groupOpeningEnd(p, i) };
    case ')':
        return { Kind::GroupEnd, i + 1 };
    case '.':
        return { Kind::Class, i + 1 };
    case '|':
    case '^':
    case '$':
        return { Kind::Other, i + 1 };
    default:
        return { Kind::Byte, i + 1 };
    }
}

// The literal byte that must come next at i, as a whole item that cannot be left out; the ends of
// groups that are not repeated are looked through.
std::optional<char> sureByteAt(const QByteArray& p, qsizetype i)
{
    while (i < p.size() && p[i] == ')' && !quantifierAt(p, i + 1))
        ++i;
    if (i >= p.size() || quantifierAt(p, i))
        return std::nullopt;
    const Item next = itemAt(p, i);
    if (next.kind != Kind::Byte || std::string_view("[](){}|.*+?^$").find(p[i]) != std::string_view::npos)
        return std::nullopt;
    const std::optional<Quantifier> repeated = quantifierAt(p, next.end);
    if (repeated && repeated->min == 0)
        return std::nullopt;
    if (p[i] != '\\')
        return p[i];
    const char letter = p[i + 1];
    return isAlnum(letter) ? escapedByte(letter) : letter;
}

QByteArray repeated(const QByteArray& item, int count)
{
    return count == 0 ? QByteArray() : item + '{' + QByteArray::number(count) + '}';
}

QByteArray unboundedRepetition(const QByteArray& item, const Quantifier& q, bool takesWholeRun)
{
    const QByteArray chunk = QByteArray::number(kCountedChunk);
    if (takesWholeRun)
        return repeated(item, q.min) + "(?:" + item + "{1," + chunk + "}+)*+";
    return repeated(item, q.min) + "(?:" + item + '{' + chunk + "})*" + item + "{0,"
        + QByteArray::number(kCountedChunk - 1) + '}';
}

// Every alternative of a group or of the whole pattern begins with this: an empty repetition of a byte
// no subject holds (subjects end before their first NUL). The engine counts a step for a repetition,
// but none for taking up the next alternative, so that without it thousands of alternatives, or
// groups of alternatives that backtrack into each other, would be tried within one step.
const QByteArray kCountedAlternative = "\\x00?";

// The engine compares literal bytes several at a time: the items of a straight path cost it about a
// quarter of what a byte of a run does.
constexpr int kStraightItemsPerByte = 4;

// The items the engine may go through between two steps it counts: the longest straight path from
// one repetition or alternative's start to the next. The path out of an alternative goes on after
// its group, from the end of whichever alternative is the longest.
class StraightPath {
public:
    void item() { m_longest = std::max(m_longest, ++m_current); }
    void counted() { m_current = 0; }
    void openGroup() { m_groups.push_back(0); }
    void alternative()
    {
        if (!m_groups.empty())
            m_groups.back() = std::max(m_groups.back(), m_current);
        else
            m_top = std::max(m_top, m_current);
        m_current = 0;
    }
    void closeGroup(bool hadAlternatives)
    {
        if (m_groups.empty())
            return;
        if (hadAlternatives)
            m_current = std::max(m_current, m_groups.back());
        m_groups.pop_back();
        item();
    }
    int longest() const { return m_longest; }

private:
    std::vector<int> m_groups; // per open group: its alternatives' longest tail so far
    int m_top = 0;
    int m_current = 0;
    int m_longest = 0;
};

// The runs one step of the engine's may pass over: of those up to a chunk long the longest, and
// every longer one.
class StepRuns {
public:
    void add(int bytes)
    {
        if (bytes > kCountedChunk)
            m_long += bytes;
        else
            m_longestShort = std::max(m_longestShort, bytes);
    }
    int bytesPerStep() const { return int(std::min<qint64>(m_longestShort + m_long, 1 << 30)); }

private:
    int m_longestShort = 1;
    qint64 m_long = 0;
};

} // namespace

CountedForm countedForm(const QByteArray& p, const ItemMatches& itemMatches)
{
    CountedForm form;
    QByteArray& made = form.text;
    StepRuns runs;
    StraightPath path;
    // The groups around i: where each opens in the pattern, where its first alternative begins in
    // the counted form, and whether it has alternatives; the last one stands for the whole pattern.
    struct Group {
        qsizetype opening = 0;
        qsizetype firstAlternative = 0;
        bool alternatives = false;
    };
    std::vector<Group> groups { Group {} };
    const auto markAlternatives = [&made](const Group& group) {
        if (group.alternatives)
            made.insert(group.firstAlternative, kCountedAlternative);
    };
    made.reserve(p.size() * 2);
    for (qsizetype i = 0; i < p.size();) {
        const Item item = itemAt(p, i);
        const QByteArray text = p.mid(i, item.end - i);
        qsizetype opening = i;
        if (p[i] == '(') {
            groups.push_back({ i, made.size() + text.size(), false });
            path.openGroup();
        } else if (p[i] == '|') {
            groups.back().alternatives = true;
            made += text + kCountedAlternative;
            path.alternative();
            i = item.end;
            continue;
        } else if (item.kind == Kind::GroupEnd && groups.size() > 1) {
            opening = groups.back().opening;
            markAlternatives(groups.back());
            path.closeGroup(groups.back().alternatives);
            groups.pop_back();
        }
        const std::optional<Quantifier> q = quantifierAt(p, item.end);
        if (!q || item.kind == Kind::Other) {
            made += text;
            if (item.kind != Kind::GroupEnd)
                path.item();
            i = item.end;
            continue;
        }
        path.counted();
        const qsizetype after = item.end + q->length;
        const QByteArray written = p.mid(i, after - i);
        if (item.kind == Kind::GroupEnd) {
            if (q->mode == Mode::Possessive)
                refuse("сверхжадное повторение группы не входит в язык шаблонов", item.end);
            made += written;
            // The engine repeats a counted group's text as many times, literal bytes and all.
            const int count = q->mode == Mode::Lazy || q->max < 0 ? q->min : q->max;
            if (count > 1)
                runs.add(int(std::min<qint64>(qint64(count) * (item.end - opening), 1 << 24)));
        } else if (q->max >= 0) {
            // The engine runs through a count in one go: a lazy one through its least count only.
            made += written;
            runs.add(q->mode == Mode::Lazy ? q->min : q->max);
        } else {
            const std::optional<char> next = sureByteAt(p, after);
            const bool wholeRun = q->mode == Mode::Possessive || (next && !itemMatches(text, *next));
            runs.add(q->min);
            if (!wholeRun && q->mode == Mode::Lazy) {
                made += written;
            } else {
                made += unboundedRepetition(text, *q, wholeRun);
                runs.add(kCountedChunk);
            }
        }
        i = after;
    }
    markAlternatives(groups.front());
    // Taking up an alternative costs the engine about as much as a step over a chunk of a run.
    if (made.contains(kCountedAlternative))
        runs.add(kCountedChunk);
    form.bytesPerStep
        = std::max(runs.bytesPerStep(), (path.longest() + kStraightItemsPerByte - 1) / kStraightItemsPerByte);
    return form;
}
