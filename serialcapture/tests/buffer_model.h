// A second account of the capture's buffer rules, written from how the buffer should behave and
// kept in a different shape from ReceiveBuffer so that the two can check each other: it holds only
// the units before the write index, so the index is the length of `held_` and every unit past it
// is zero by construction. Slow and plain on purpose; it is only ever run against the real buffer.
#pragma once

#include "receive_buffer.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

class BufferModel {
public:
    static constexpr std::size_t kUnits = 1024;

    // A byte becomes one unit with its top bit copied into the upper half. A byte that would take
    // the last unit empties the buffer instead, and is lost with everything before it.
    void Store(std::uint8_t byte) {
        newData_ = true;
        if (held_.size() == kUnits - 1)
            held_.clear();
        else
            held_.push_back(Widen(byte));
    }

    // With new data: a line break after the visible text, the index two further on from where it
    // was; with fewer than three units left (index 1022 or 1023), an empty buffer instead.
    bool TakeForDisplay() {
        if (!newData_)
            return false;
        newData_ = false;
        if (held_.size() >= kUnits - 2) {
            held_.clear();
            return true;
        }
        std::u16string after = Visible() + u"\r\n";
        after.push_back(u'\0');
        // Whatever a zero byte hid beyond the break's three units stays where it is.
        if (held_.size() > after.size())
            after += held_.substr(after.size());
        after.resize(held_.size() + 2, u'\0');
        held_ = after;
        return true;
    }

    std::u16string Visible() const { return held_.substr(0, held_.find(u'\0')); }
    char16_t Unit(std::size_t i) const { return i < held_.size() ? held_[i] : u'\0'; }
    std::uint32_t WriteIndex() const { return static_cast<std::uint32_t>(held_.size()); }
    bool HasNewData() const { return newData_; }

    // All 1024 units at once, the quick way the comparison after every operation needs: whole
    // blocks, not a loop per unit, which fuzzing instrumentation would slow to a crawl.
    bool SameUnits(const char16_t* units) const {
        static const char16_t zeros[kUnits] = {};
        const std::size_t held = held_.size();
        return std::memcmp(units, held_.data(), held * sizeof(char16_t)) == 0 &&
               std::memcmp(units + held, zeros, (kUnits - held) * sizeof(char16_t)) == 0;
    }

    static char16_t Widen(std::uint8_t byte) {
        return static_cast<char16_t>(byte < 0x80 ? byte : 0xFF00u | byte);
    }

private:
    std::u16string held_;
    bool newData_ = false;
};

inline std::string HexUnit(char16_t unit) {
    static const char digits[] = "0123456789abcdef";
    std::string text = "0x";
    for (int shift = 12; shift >= 0; shift -= 4)
        text += digits[(unit >> shift) & 0xF];
    return text;
}

// The first way in which the buffer differs from the model, as one line; empty when they agree.
// Looks at all 1024 units, not only the visible text, so stale units behind a zero show up too.
inline std::string Disagreement(const ReceiveBuffer& buffer, const BufferModel& model) {
    if (buffer.writeIndex() != model.WriteIndex())
        return "write index " + std::to_string(buffer.writeIndex()) + ", model " +
               std::to_string(model.WriteIndex());
    if (buffer.hasNewData() != model.HasNewData())
        return std::string("new-data flag ") + (buffer.hasNewData() ? "raised" : "lowered") +
               ", model " + (model.HasNewData() ? "raised" : "lowered");
    if (model.SameUnits(buffer.text()))
        return {};
    for (std::size_t i = 0; i < BufferModel::kUnits; ++i)
        if (buffer.text()[i] != model.Unit(i))
            return "unit " + std::to_string(i) + " is " + HexUnit(buffer.text()[i]) + ", model " +
                   HexUnit(model.Unit(i));
    return {};
}
