#include "ce/kernel.h"

#include "ce/hostlink_client.h"

#include <algorithm>
#include <cstring>

namespace ce {

namespace {

hostlink::Request DescribeRequest(DWORD code, const void* in, DWORD inSize, DWORD outSize,
                                  const DWORD* returned) {
    hostlink::Request request{};
    request.code = code;
    request.inSize = inSize;
    request.hasIn = in != nullptr ? 1 : 0;
    if (in != nullptr)
        std::memcpy(&request.inWord, in, sizeof request.inWord);
    request.outSize = outSize;
    request.hasReturned = returned != nullptr ? 1 : 0;
    return request;
}

} // namespace

BOOL KernelIoControl(DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
                     DWORD* returned) {
    hostlink::Reply reply{};
    DWORD error = hostlink::Transact(hostlink::kKernelPipe,
                                     DescribeRequest(code, in, inSize, outSize, returned), reply);
    if (error != ERROR_SUCCESS) {
        ::SetLastError(error);
        return FALSE;
    }
    if (reply.ok == 0) {
        // A refusal always carries an error, so that the caller never reads success from it.
        ::SetLastError(reply.error != ERROR_SUCCESS ? reply.error : ERROR_GEN_FAILURE);
        return FALSE;
    }
    DWORD copied = std::min<DWORD>({reply.returned, outSize, hostlink::kMaxOutBytes});
    if (out == nullptr)
        copied = 0;
    if (copied != 0)
        std::memcpy(out, reply.out, copied);
    if (returned != nullptr)
        *returned = copied;
    return TRUE;
}

} // namespace ce
