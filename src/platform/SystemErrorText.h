#pragma once

#include <QString>

// Why a call of the system failed, in Russian: the reason of the common error numbers, or for any
// other the number with the system's own text in parentheses.
QString systemErrorText(int code);
