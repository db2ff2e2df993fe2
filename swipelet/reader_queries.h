// The card reader's two query commands, each sent on the reader's port in one write.
#pragma once

#include <windows.h>

struct ReaderQuery {
    BYTE bytes[3];
};

inline constexpr ReaderQuery kReadMsrVersionQuery = {{0x02, 'D', 0x0D}};      // STX 'D' CR
inline constexpr ReaderQuery kReadFirmwareVersionQuery = {{0x02, 'V', 0x0D}}; // STX 'V' CR

// Writes the query's bytes to `port` at once; nothing waits for the answer.
void SendReaderQuery(HANDLE port, const ReaderQuery& query);
