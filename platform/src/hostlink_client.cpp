#include "ce/hostlink_client.h"

#include "ce/unique_handle.h"

#include <algorithm>
#include <cstring>

namespace ce::hostlink {

namespace {

constexpr DWORD kBusyWaitMs = 2000;

bool WriteAll(HANDLE h, const void* data, DWORD size) {
    DWORD written = 0;
    return ::WriteFile(h, data, size, &written, nullptr) && written == size;
}

bool ReadAll(HANDLE h, void* data, DWORD size) {
    auto* bytes = static_cast<BYTE*>(data);
    DWORD done = 0;
    while (done < size) {
        DWORD got = 0;
        if (!::ReadFile(h, bytes + done, size - done, &got, nullptr) || got == 0)
            return false;
        done += got;
    }
    return true;
}

} // namespace

HANDLE Connect(const wchar_t* pipe) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        HANDLE h = ::CreateFileW(pipe, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                                 nullptr);
        if (h != INVALID_HANDLE_VALUE)
            return h;
        // Every instance busy: wait for one to come free; anything else means nobody serves it.
        if (::GetLastError() != ERROR_PIPE_BUSY || !::WaitNamedPipeW(pipe, kBusyWaitMs))
            return INVALID_HANDLE_VALUE;
    }
    ::SetLastError(ERROR_PIPE_BUSY);
    return INVALID_HANDLE_VALUE;
}

DWORD TransactOn(HANDLE connection, const Request& request, Reply& reply) {
    if (!WriteAll(connection, &request, sizeof request) ||
        !ReadAll(connection, &reply, sizeof reply)) {
        DWORD error = ::GetLastError();
        return error != ERROR_SUCCESS ? error : ERROR_BROKEN_PIPE;
    }
    return ERROR_SUCCESS;
}

DWORD Transact(const wchar_t* pipe, const Request& request, Reply& reply) {
    UniqueHandle connection(Connect(pipe));
    if (!connection)
        return ::GetLastError();
    return TransactOn(connection.get(), request, reply);
}

} // namespace ce::hostlink

namespace ce::hostlink {

Request DescribeCall(DWORD code, const void* in, DWORD inSize, DWORD outSize,
                     const DWORD* returned) {
    Request request{};
    request.code = code;
    request.inSize = inSize;
    request.hasIn = in != nullptr;
    if (in != nullptr && inSize >= sizeof(std::uint32_t))
        std::memcpy(&request.inWord, in, sizeof request.inWord);
    request.outSize = outSize;
    request.hasReturned = returned != nullptr;
    return request;
}

BOOL CompleteCall(const Reply& reply, void* out, DWORD outSize, DWORD* returned) {
    DWORD count = std::min<DWORD>({reply.returned, outSize, kMaxOutBytes});
    if (out != nullptr && count > 0)
        std::memcpy(out, reply.out, count);
    if (returned != nullptr)
        *returned = out != nullptr ? count : 0;
    if (!reply.ok) {
        ::SetLastError(reply.error != ERROR_SUCCESS ? reply.error : ERROR_GEN_FAILURE);
        return FALSE;
    }
    return TRUE;
}

} // namespace ce::hostlink
