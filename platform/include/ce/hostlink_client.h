// Client side of the host link: one request to a stand-in served on a named pipe.
#pragma once

#include "ce/hostlink.h"

#include <windows.h>

namespace ce::hostlink {

// Connects to `pipe`, sends `request` and reads the reply. Returns ERROR_SUCCESS when a reply
// arrived, ERROR_FILE_NOT_FOUND when nothing serves the pipe, or the failing call's error.
DWORD Transact(const wchar_t* pipe, const Request& request, Reply& reply);

// Sends a request on a connection that is already open (a driver handle kept by the caller).
DWORD TransactOn(HANDLE connection, const Request& request, Reply& reply);

// Opens a connection to `pipe`, waiting briefly while all its instances are busy. Returns
// INVALID_HANDLE_VALUE with the last error set when nothing serves it.
HANDLE Connect(const wchar_t* pipe);

} // namespace ce::hostlink

namespace ce::hostlink {

// The request for a device I/O control call as the caller made it.
Request DescribeCall(DWORD code, const void* in, DWORD inSize, DWORD outSize,
                     const DWORD* returned);

// Completes the caller's side of a call from the stand-in's reply: copies the output, stores
// the returned count, sets the last error on failure. Returns the call's result.
BOOL CompleteCall(const Reply& reply, void* out, DWORD outSize, DWORD* returned);

} // namespace ce::hostlink
