#include "driver_server.h"

#include <cstdio>

namespace standins {

namespace {

constexpr DWORD kBufferBytes = 4096;

// Waits for an overlapped operation or the stop event. Returns false when stopped or failed;
// a stopped operation is cancelled and drained before returning.
bool Await(HANDLE file, OVERLAPPED& ov, HANDLE stop, DWORD& transferred) {
    HANDLE waits[] = {ov.hEvent, stop};
    if (::WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0) {
        ::CancelIoEx(file, &ov);
        ::GetOverlappedResult(file, &ov, &transferred, TRUE);
        return false;
    }
    return ::GetOverlappedResult(file, &ov, &transferred, FALSE) != 0;
}

bool Transfer(HANDLE file, void* data, DWORD size, bool write, HANDLE stop) {
    ce::UniqueHandle done(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    auto* bytes = static_cast<BYTE*>(data);
    DWORD total = 0;
    while (total < size) {
        OVERLAPPED ov{};
        ov.hEvent = done.get();
        ::ResetEvent(done.get());
        BOOL ok = write ? ::WriteFile(file, bytes + total, size - total, nullptr, &ov)
                        : ::ReadFile(file, bytes + total, size - total, nullptr, &ov);
        if (!ok && ::GetLastError() != ERROR_IO_PENDING)
            return false;
        DWORD moved = 0;
        if (!Await(file, ov, stop, moved) || moved == 0)
            return false;
        total += moved;
    }
    return true;
}

} // namespace

ce::hostlink::Reply Succeed() {
    ce::hostlink::Reply reply{};
    reply.ok = 1;
    return reply;
}

ce::hostlink::Reply Fail(DWORD error) {
    ce::hostlink::Reply reply{};
    reply.error = error;
    return reply;
}

DriverServer::DriverServer(std::wstring pipe, Handler handler)
    : name_(std::move(pipe)), handler_(std::move(handler)),
      stopEvent_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    // The first instance is made here so that a client can connect as soon as we return.
    firstInstance_.reset(CreateInstance());
    if (!firstInstance_) {
        std::fprintf(stderr, "stand-in: cannot serve %ls (error %lu)\n", name_.c_str(),
                     ::GetLastError());
        return;
    }
    started_ = true;
    acceptThread_ = std::thread([this] { AcceptLoop(); });
}

DriverServer::~DriverServer() {
    ::SetEvent(stopEvent_.get());
    if (acceptThread_.joinable())
        acceptThread_.join();
    std::lock_guard<std::mutex> lock(clientsMutex_);
    for (auto& client : clients_)
        client.join();
}

HANDLE DriverServer::CreateInstance() const {
    return ::CreateNamedPipeW(name_.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED,
                              PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT,
                              PIPE_UNLIMITED_INSTANCES, kBufferBytes, kBufferBytes, 0, nullptr);
}

void DriverServer::AcceptLoop() {
    ce::UniqueHandle instance = std::move(firstInstance_);
    ce::UniqueHandle connected(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    while (instance) {
        OVERLAPPED ov{};
        ov.hEvent = connected.get();
        ::ResetEvent(connected.get());
        bool ok = ::ConnectNamedPipe(instance.get(), &ov) != 0;
        DWORD error = ok ? ERROR_SUCCESS : ::GetLastError();
        if (error == ERROR_IO_PENDING) {
            DWORD unused = 0;
            if (!Await(instance.get(), ov, stopEvent_.get(), unused))
                return;
        } else if (error != ERROR_PIPE_CONNECTED && error != ERROR_SUCCESS) {
            std::fprintf(stderr, "stand-in: %ls: connect failed (error %lu)\n", name_.c_str(),
                         error);
            return;
        }
        // Open the next instance before serving this one, so that no client finds none.
        ce::UniqueHandle next(CreateInstance());
        std::lock_guard<std::mutex> lock(clientsMutex_);
        clients_.emplace_back(
            [this, client = instance.release()] { Serve(ce::UniqueHandle(client)); });
        instance = std::move(next);
    }
}

void DriverServer::Serve(ce::UniqueHandle pipe) {
    ++openConnections_;
    ce::hostlink::Request request{};
    while (Transfer(pipe.get(), &request, sizeof request, false, stopEvent_.get())) {
        ce::hostlink::Reply reply = handler_(request);
        if (!Transfer(pipe.get(), &reply, sizeof reply, true, stopEvent_.get()))
            break;
    }
    --openConnections_;
    ::DisconnectNamedPipe(pipe.get());
}

} // namespace standins
