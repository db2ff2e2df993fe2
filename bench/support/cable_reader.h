// One reader of a cable end, run on its own thread while the far end floods the cable; the
// throughput benchmark compares their byte counts over the same time.
#pragma once

#include <atomic>
#include <cstdint>

namespace bench {

class CableReader {
public:
    CableReader() = default;
    CableReader(const CableReader&) = delete;
    CableReader& operator=(const CableReader&) = delete;
    virtual ~CableReader() = default;

    // Short name for the figures.
    virtual const char* name() const = 0;
    // Opens the port and starts the reading thread; false (reason on standard error) when not.
    virtual bool Start() = 0;
    // Ends the thread and closes the port.
    virtual void Stop() = 0;

    std::uint64_t bytesRead() const { return read_.load(std::memory_order_relaxed); }

protected:
    void Count(std::uint64_t bytes) { read_.fetch_add(bytes, std::memory_order_relaxed); }

private:
    std::atomic<std::uint64_t> read_{0};
};

} // namespace bench
