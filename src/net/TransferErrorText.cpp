#include "net/TransferErrorText.h"

namespace {

const char* reasonOf(CURLcode code)
{
    switch (code) {
    case CURLE_OPERATION_TIMEDOUT:
        return "сервер не отвечает";
    case CURLE_COULDNT_CONNECT:
        return "нет соединения с сервером";
    case CURLE_COULDNT_RESOLVE_HOST:
        return "сервер не найден";
    case CURLE_COULDNT_RESOLVE_PROXY:
        return "прокси-сервер не найден";
    case CURLE_PARTIAL_FILE:
        return "загрузка оборвалась";
    case CURLE_GOT_NOTHING:
        return "сервер закрыл соединение, не ответив";
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
        return "связь с сервером прервана";
    case CURLE_WEIRD_SERVER_REPLY:
        return "сервер ответил не по протоколу HTTP";
    case CURLE_SSL_CONNECT_ERROR:
        return "защищённое соединение не установлено";
    case CURLE_SSL_CACERT_BADFILE:
        return "сертификаты для проверки сервера не прочитаны";
    case CURLE_OUT_OF_MEMORY:
        return "не хватает памяти";
    default:
        return "ошибка сети";
    }
}

} // namespace

std::string transferErrorText(CURLcode code, const char* libraryText)
{
    const char* library = libraryText && *libraryText ? libraryText : curl_easy_strerror(code);
    if (code == CURLE_PEER_FAILED_VERIFICATION)
        return std::string("сертификат сервера не прошёл проверку: ") + library;
    return std::string(reasonOf(code)) + " (" + library + ")";
}
