#pragma once

#include <curl/curl.h>
#include <string>

// The reason a transfer failed, in the program's language, with the library's own text after it:
// "сервер не отвечает (Operation too slow. ...)". libraryText may be empty; then libcurl's text
// for the code stands there.
std::string transferErrorText(CURLcode code, const char* libraryText);
