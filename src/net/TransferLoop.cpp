#include "net/TransferLoop.h"

#include "net/CurlGlobal.h"
#include "net/HttpError.h"

#include <QEventLoop>
#include <climits>

TransferLoop::TransferLoop()
{
    ensureCurlGlobalInit();
    openMulti();
    m_timer.setSingleShot(true);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { act(CURL_SOCKET_TIMEOUT, 0); });
}

TransferLoop::~TransferLoop()
{
    abort();
    closeMulti();
}

void TransferLoop::openMulti()
{
    m_multi = curl_multi_init();
    if (!m_multi)
        throw EHttpError("не хватает памяти");
    curl_multi_setopt(m_multi, CURLMOPT_SOCKETFUNCTION, &TransferLoop::socketCallback);
    curl_multi_setopt(m_multi, CURLMOPT_SOCKETDATA, this);
    curl_multi_setopt(m_multi, CURLMOPT_TIMERFUNCTION, &TransferLoop::timerCallback);
    curl_multi_setopt(m_multi, CURLMOPT_TIMERDATA, this);
}

void TransferLoop::closeMulti()
{
    curl_multi_setopt(m_multi, CURLMOPT_SOCKETFUNCTION, nullptr);
    curl_multi_setopt(m_multi, CURLMOPT_TIMERFUNCTION, nullptr);
    curl_multi_cleanup(m_multi);
    m_multi = nullptr;
}

void TransferLoop::closeConnections()
{
    if (m_easy)
        return;
    // The kept connections belong to the multi handle; a new one starts with none.
    m_timer.stop();
    for (auto& [socket, watch] : m_watches) {
        retire(std::move(watch.read));
        retire(std::move(watch.write));
    }
    m_watches.clear();
    closeMulti();
    m_retired.clear();
    openMulti();
}

CURLcode TransferLoop::run(CURL* easy)
{
    m_retired.clear();
    m_done = false;
    m_aborted = false;
    m_progressed = false;
    m_result = CURLE_OK;
    m_easy = easy;
    if (curl_multi_add_handle(m_multi, easy) != CURLM_OK) {
        m_easy = nullptr;
        return CURLE_FAILED_INIT;
    }
    QEventLoop loop;
    m_loop = &loop;
    if (!m_done)
        loop.exec();
    m_loop = nullptr;
    m_easy = nullptr;
    m_retired.clear();
    return m_result;
}

void TransferLoop::abort()
{
    if (!m_easy || m_done)
        return;
    m_aborted = true;
    // Inside a libcurl call the handle cannot be removed; the progress callback ends the transfer.
    if (!m_inCurl)
        finish(CURLE_ABORTED_BY_CALLBACK);
}

int TransferLoop::progressCallback(void* loop, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    auto* self = static_cast<TransferLoop*>(loop);
    self->m_progressed = true;
    return self->m_aborted ? 1 : 0;
}

int TransferLoop::socketCallback(CURL*, curl_socket_t socket, int what, void* loop, void*)
{
    static_cast<TransferLoop*>(loop)->watch(socket, what);
    return 0;
}

int TransferLoop::timerCallback(CURLM*, long timeoutMs, void* loop)
{
    auto* self = static_cast<TransferLoop*>(loop);
    if (timeoutMs < 0)
        self->m_timer.stop();
    else
        self->m_timer.start(int(qMin<long>(timeoutMs, INT_MAX)));
    return 0;
}

void TransferLoop::watch(curl_socket_t socket, int what)
{
    if (what == CURL_POLL_REMOVE) {
        auto found = m_watches.find(socket);
        if (found != m_watches.end()) {
            retire(std::move(found->second.read));
            retire(std::move(found->second.write));
            m_watches.erase(found);
        }
        return;
    }
    Watch& w = m_watches[socket];
    if (!w.read) {
        w.read = std::make_unique<QSocketNotifier>(socket, QSocketNotifier::Read);
        QObject::connect(
            w.read.get(), &QSocketNotifier::activated, [this, socket] { act(socket, CURL_CSELECT_IN); });
        w.write = std::make_unique<QSocketNotifier>(socket, QSocketNotifier::Write);
        QObject::connect(
            w.write.get(), &QSocketNotifier::activated, [this, socket] { act(socket, CURL_CSELECT_OUT); });
    }
    w.read->setEnabled(what == CURL_POLL_IN || what == CURL_POLL_INOUT);
    w.write->setEnabled(what == CURL_POLL_OUT || what == CURL_POLL_INOUT);
}

void TransferLoop::retire(std::unique_ptr<QSocketNotifier> notifier)
{
    if (!notifier)
        return;
    notifier->setEnabled(false);
    notifier->disconnect();
    m_retired.push_back(std::move(notifier));
}

void TransferLoop::act(curl_socket_t socket, int eventMask)
{
    if (m_inCurl)
        return;
    int running = 0;
    m_inCurl = true;
    curl_multi_socket_action(m_multi, socket, eventMask, &running);
    m_inCurl = false;
    // The handler runs outside libcurl, so it may pump events or abort.
    if (m_progressed && m_easy && !m_done) {
        m_progressed = false;
        if (m_progress)
            m_progress();
    }
    collectDone();
}

void TransferLoop::collectDone()
{
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(m_multi, &left)) {
        if (message->msg == CURLMSG_DONE && message->easy_handle == m_easy && !m_done)
            finish(message->data.result);
    }
    if (m_easy && !m_done && m_aborted)
        finish(CURLE_ABORTED_BY_CALLBACK);
}

void TransferLoop::finish(CURLcode result)
{
    m_done = true;
    m_result = result;
    curl_multi_remove_handle(m_multi, m_easy);
    if (m_loop)
        m_loop->quit();
}
