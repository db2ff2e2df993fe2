// The text a test program collects from its serial device between two looks at it: a fixed array
// of UTF-16 units with a write index and a new-data flag. Pure logic, no platform calls: the
// caller provides the locking between the reader thread's Store and the timer's TakeForDisplay.
#pragma once

#include <cstddef>
#include <cstdint>

class ReceiveBuffer {
public:
    static constexpr std::size_t kUnits = 1024;
    static constexpr std::uint32_t kLastIndex = kUnits - 1;

    // One received byte becomes one unit, sign-extended (0xB5 -> 0xFFB5). A byte that lands in
    // the last unit clears the whole buffer, itself included.
    void Store(std::uint8_t byte);

    // The timer's step: when new data came since the last call, closes the line with CR LF (or
    // clears the buffer when too full for that), lowers the flag and returns true; text() is then
    // what the log box shows. Returns false and changes nothing when no data came.
    bool TakeForDisplay();

    // Zero-terminated: the units before the first zero unit.
    const char16_t* text() const { return units_; }
    std::uint32_t writeIndex() const { return writeIndex_; }
    bool hasNewData() const { return newData_; }

private:
    void Clear();
    std::size_t TextLength() const;

    char16_t units_[kUnits] = {};
    std::uint32_t writeIndex_ = 0;
    bool newData_ = false;
};
