#include "stream_pattern.h"

#include <cstdio>

namespace bench {

namespace {

constexpr std::size_t kDigits = 10;

void FormatRecord(std::uint64_t recordStart, char (&record)[kStreamRecordBytes + 1]) {
    std::snprintf(record, sizeof record, "#%010llu.wxyz",
                  static_cast<unsigned long long>(recordStart % 10000000000ULL));
}

// The number of a record starting at `text[at]`, if a whole one does.
bool RecordNumberAt(const std::wstring& text, std::size_t at, std::uint64_t& number) {
    if (at + kDigits + 2 > text.size() || text[at] != L'#' || text[at + kDigits + 1] != L'.')
        return false;
    number = 0;
    for (std::size_t i = at + 1; i <= at + kDigits; ++i) {
        if (text[i] < L'0' || text[i] > L'9')
            return false;
        number = number * 10 + static_cast<std::uint64_t>(text[i] - L'0');
    }
    return true;
}

} // namespace

void FillStream(std::uint64_t offset, char* out, std::size_t size) {
    char record[kStreamRecordBytes + 1];
    std::uint64_t recordStart = offset - offset % kStreamRecordBytes;
    FormatRecord(recordStart, record);
    for (std::size_t i = 0; i < size; ++i) {
        std::uint64_t at = offset + i;
        if (at % kStreamRecordBytes == 0 && at != recordStart) {
            recordStart = at;
            FormatRecord(recordStart, record);
        }
        out[i] = record[at % kStreamRecordBytes];
    }
}

bool StreamPositionShown(const std::wstring& logText, std::uint64_t& position) {
    static const std::wstring kBreak = L"\r\n";
    if (logText.size() < kBreak.size() ||
        logText.compare(logText.size() - kBreak.size(), kBreak.size(), kBreak) != 0)
        return false;
    std::size_t end = logText.size() - kBreak.size();
    if (end == 0)
        return false;
    std::size_t previousBreak = logText.rfind(kBreak, end - 1);
    std::size_t begin = previousBreak == std::wstring::npos ? 0 : previousBreak + kBreak.size();
    std::wstring lastTick = logText.substr(begin, end - begin);
    for (std::size_t at = lastTick.rfind(L'#'); at != std::wstring::npos;
         at = at == 0 ? std::wstring::npos : lastTick.rfind(L'#', at - 1)) {
        std::uint64_t number = 0;
        if (RecordNumberAt(lastTick, at, number)) {
            position = number + (lastTick.size() - at);
            return true;
        }
    }
    return false;
}

} // namespace bench
