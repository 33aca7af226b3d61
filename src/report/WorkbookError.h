#pragma once

#include <QString>
#include <stdexcept>

// A report workbook that could not be made, written or shown; what() holds the text to show.
class WorkbookError : public std::runtime_error {
public:
    explicit WorkbookError(const QString& text)
        : std::runtime_error(text.toStdString())
    {
    }
};
