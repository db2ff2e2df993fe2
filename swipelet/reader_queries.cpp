#include "reader_queries.h"

#include "ce/device.h"

void SendReaderQuery(HANDLE port, const ReaderQuery& query) {
    DWORD written = 0;
    // Unchecked: the answer (or its absence) in the log box is the only report the user gets.
    (void)ce::WriteFile(port, query.bytes, sizeof query.bytes, &written, nullptr);
}
