#include "report/CellRange.h"

#include <stdexcept>

namespace {

// Reads letters then digits from the front of text; advances past them.
CellAddress parseCell(QStringView& text)
{
    CellAddress cell { 0, 0 };
    qsizetype i = 0;
    for (; i < text.size() && text[i] >= u'A' && text[i] <= u'Z' && cell.column <= 16384; ++i)
        cell.column = cell.column * 26 + (text[i].unicode() - u'A' + 1);
    const qsizetype letters = i;
    for (; i < text.size() && text[i].isDigit() && cell.row <= 1048576; ++i)
        cell.row = cell.row * 10 + text[i].digitValue();
    if (letters == 0 || i == letters || cell.row < 1 || cell.column < 1)
        throw std::invalid_argument("not a cell address: " + text.toString().toStdString());
    text = text.mid(i);
    return cell;
}

} // namespace

CellRange CellRange::parse(QStringView a1)
{
    QStringView rest = a1;
    const CellAddress first = parseCell(rest);
    if (rest.isEmpty())
        return { first, first };
    if (!rest.startsWith(u':'))
        throw std::invalid_argument("not a cell range: " + a1.toString().toStdString());
    rest = rest.mid(1);
    const CellAddress last = parseCell(rest);
    if (!rest.isEmpty() || last.row < first.row || last.column < first.column)
        throw std::invalid_argument("not a cell range: " + a1.toString().toStdString());
    return { first, last };
}

bool CellRange::contains(CellAddress cell) const
{
    return cell.row >= first.row && cell.row <= last.row && cell.column >= first.column
        && cell.column <= last.column;
}

QString CellRange::address() const
{
    const auto name = [](CellAddress cell) { return columnLetters(cell.column) + QString::number(cell.row); };
    return first == last ? name(first) : name(first) + u':' + name(last);
}

QString columnLetters(int column)
{
    QString letters;
    for (; column > 0; column = (column - 1) / 26)
        letters.prepend(QChar(u'A' + (column - 1) % 26));
    return letters;
}
