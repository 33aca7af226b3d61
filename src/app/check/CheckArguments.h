#pragma once

#include "net/ConnectionSettings.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <variant>

struct CheckArguments {
    bool json = false;
    bool help = false;
    bool version = false;
    std::optional<ConnectionSettings> proxy; // none: the remembered connection settings
    QString projectPath;
    QString xlsxPath; // empty: no workbook
};

struct UsageError {
    QString text;
};

extern const QString kCheckUsage;

// Reads the arguments after the program name.
std::variant<CheckArguments, UsageError> parseCheckArguments(const QStringList& arguments);
