#include "net/CurlGlobal.h"

#include "net/HttpError.h"

#include <curl/curl.h>

void ensureCurlGlobalInit()
{
    static const CURLcode result = curl_global_init(CURL_GLOBAL_DEFAULT);
    if (result != CURLE_OK)
        throw EHttpError(std::string("libcurl не инициализирован: ") + curl_easy_strerror(result));
}
