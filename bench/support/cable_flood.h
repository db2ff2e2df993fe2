// The far end of a cable writing as fast as the cable takes bytes: one thread, one overlapped
// write after another, counting every byte the port accepted. What it writes is the numbered
// stream of stream_pattern.h, so that a reader's position can be read off what it received.
#pragma once

#include "ce/unique_handle.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

namespace bench {

class CableFlood {
public:
    // Opens `port` ("COM13") for writing at `baudRate`; check isOpen().
    CableFlood(const wchar_t* port, DWORD baudRate, std::size_t chunkBytes = 16384);
    CableFlood(const CableFlood&) = delete;
    CableFlood& operator=(const CableFlood&) = delete;
    ~CableFlood();

    bool isOpen() const { return static_cast<bool>(port_); }
    void Start();
    // Ends the write in progress (its accepted part still counts) and the thread.
    void Stop();
    // Bytes the port has accepted so far.
    std::uint64_t bytesSent() const { return sent_.load(std::memory_order_relaxed); }
    // The write that failed, or 0.
    DWORD failure() const { return failure_; }

private:
    void WriteLoop();

    ce::UniqueHandle port_;
    ce::UniqueHandle done_{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    ce::UniqueHandle stop_{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    std::string chunk_;
    std::atomic<std::uint64_t> sent_{0};
    std::atomic<DWORD> failure_{0};
    std::thread thread_;
};

} // namespace bench
