#include "receive_buffer.h"

#include <algorithm>
#include <iterator>

void ReceiveBuffer::Store(std::uint8_t byte) {
    newData_ = true;
    units_[writeIndex_] =
        static_cast<char16_t>(static_cast<std::int16_t>(static_cast<std::int8_t>(byte)));
    if (writeIndex_ < kLastIndex)
        ++writeIndex_;
    else
        Clear();
}

bool ReceiveBuffer::TakeForDisplay() {
    if (!newData_)
        return false;
    if (writeIndex_ < kLastIndex - 1) {
        // The line break goes where the visible text ends, which a stored zero byte can put
        // before the write index; the units behind it are overwritten as they stand.
        std::size_t end = TextLength();
        units_[end] = u'\r';
        units_[end + 1] = u'\n';
        units_[end + 2] = u'\0';
        writeIndex_ += 2;
    } else {
        Clear();
    }
    newData_ = false;
    return true;
}

void ReceiveBuffer::Clear() {
    std::fill(std::begin(units_), std::end(units_), u'\0');
    writeIndex_ = 0;
}

std::size_t ReceiveBuffer::TextLength() const {
    return static_cast<std::size_t>(std::find(std::begin(units_), std::end(units_), u'\0') -
                                    std::begin(units_));
}
