// libFuzzer target: the input is a run of stores and ticks, applied to ReceiveBuffer and
// BufferModel alike and compared after every one; a disagreement aborts with its account.
//
// Each operation is a tag byte, its low two bits the kind and the rest its size, then for stores
// the byte to store, any of the 256:
//   0  one store
//   1  one tick
//   2  a burst of (tag >> 2) * 16 + 1 stores of the same byte
//   3  stores of the same byte until the index is 1016 + (tag >> 2 & 7); a tick after when
//      tag bit 5 is set. Puts the limits within a few input bytes of any state.
#include "buffer_model.h"
#include "receive_buffer.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// Operations compared over the whole fuzzing run, told at exit for the reliability figures.
struct OperationCount {
    std::uint64_t total = 0;
    ~OperationCount() {
        std::fprintf(stderr, "buffer_fuzz: %llu operations compared\n",
                     static_cast<unsigned long long>(total));
    }
} operationCount;

class Lockstep {
public:
    void Store(std::uint8_t byte) {
        ++operations_;
        ++operationCount.total;
        buffer_.Store(byte);
        model_.Store(byte);
        Check("store", byte);
    }

    void Tick() {
        ++operations_;
        ++operationCount.total;
        const bool shown = buffer_.TakeForDisplay();
        if (shown != model_.TakeForDisplay())
            Fail("tick", 0, std::string("TakeForDisplay returned ") + (shown ? "true" : "false"));
        Check("tick", 0);
    }

    std::uint32_t writeIndex() const { return model_.WriteIndex(); }

private:
    void Check(const char* what, std::uint8_t byte) {
        const std::string difference = Disagreement(buffer_, model_);
        if (!difference.empty())
            Fail(what, byte, difference);
    }

    [[noreturn]] void Fail(const char* what, std::uint8_t byte, const std::string& difference) {
        std::fprintf(stderr, "buffer and model disagree after operation %zu (%s 0x%02x): %s\n",
                     operations_, what, byte, difference.c_str());
        std::abort();
    }

    ReceiveBuffer buffer_;
    BufferModel model_;
    std::size_t operations_ = 0;
};

// How many times an operation's byte is stored, by its tag and the index it starts from.
std::size_t StoresFor(std::uint8_t tag, std::uint32_t writeIndex) {
    const unsigned size = tag >> 2u;
    switch (tag & 3u) {
    case 2u:
        return size * 16u + 1u;
    case 3u:
        return (1016u + (size & 7u) + 1024u - writeIndex) % 1024u;
    default:
        return 1;
    }
}

bool TicksAfter(std::uint8_t tag) {
    return (tag & 3u) == 3u && (tag & 0x20u) != 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Lockstep both;
    std::size_t at = 0;
    while (at < size) {
        const std::uint8_t tag = data[at++];
        if ((tag & 3u) == 1u) {
            both.Tick();
            continue;
        }
        if (at == size)
            break;
        const std::uint8_t byte = data[at++];
        for (std::size_t n = StoresFor(tag, both.writeIndex()); n > 0; --n)
            both.Store(byte);
        if (TicksAfter(tag))
            both.Tick();
    }
    return 0;
}
