#pragma once

#include <QSocketNotifier>
#include <QTimer>
#include <curl/curl.h>
#include <functional>
#include <map>
#include <memory>
#include <vector>

class QEventLoop;

// Runs libcurl transfers on the thread's Qt event loop, one at a time: libcurl names the sockets
// to watch and when to be called back, and the caller waits in a nested event loop, so timers,
// input and the other windows keep being served while a request waits.
class TransferLoop {
public:
    TransferLoop();
    ~TransferLoop();
    TransferLoop(const TransferLoop&) = delete;
    TransferLoop& operator=(const TransferLoop&) = delete;

    // Runs the prepared easy handle to its end; aborted() tells whether abort() ended it.
    CURLcode run(CURL* easy);
    void abort();
    // Closes every connection libcurl keeps for reuse; not while a transfer runs.
    void closeConnections();
    bool running() const { return m_easy != nullptr; }
    bool aborted() const { return m_aborted; }

    void setProgressHandler(std::function<void()> handler) { m_progress = std::move(handler); }

    // CURLOPT_XFERINFOFUNCTION of the easy handle, with this loop as its data.
    static int progressCallback(void* loop, curl_off_t, curl_off_t, curl_off_t, curl_off_t);

private:
    void openMulti();
    void closeMulti();

    struct Watch {
        std::unique_ptr<QSocketNotifier> read;
        std::unique_ptr<QSocketNotifier> write;
    };

    static int socketCallback(CURL* easy, curl_socket_t socket, int what, void* loop, void*);
    static int timerCallback(CURLM* multi, long timeoutMs, void* loop);
    void watch(curl_socket_t socket, int what);
    void retire(std::unique_ptr<QSocketNotifier> notifier);
    void act(curl_socket_t socket, int eventMask);
    void collectDone();
    void finish(CURLcode result);

    CURLM* m_multi = nullptr;
    QTimer m_timer;
    std::map<curl_socket_t, Watch> m_watches;
    // A notifier whose socket libcurl has dropped may be the one whose signal is being handled,
    // so it is only disabled here and freed when no signal of it can be on the stack.
    std::vector<std::unique_ptr<QSocketNotifier>> m_retired;
    CURL* m_easy = nullptr;
    QEventLoop* m_loop = nullptr;
    bool m_done = false;
    bool m_aborted = false;
    bool m_inCurl = false;
    bool m_progressed = false;
    CURLcode m_result = CURLE_OK;
    std::function<void()> m_progress;
};
