// Plain Win32 readers of a desktop port, beside which the capture's reader is measured: what
// the same cable gives a program that asks for much at once, and ones that ask for one byte at
// a time without the device layer in between, synchronously or overlapped as the layer does.
#pragma once

#include "cable_reader.h"

#include "ce/unique_handle.h"

#include <windows.h>

#include <string>
#include <thread>

namespace bench {

// A reader thread on a desktop port of its own; subclasses supply the loop.
class DesktopPortReader : public CableReader {
public:
    DesktopPortReader(const wchar_t* port, DWORD baudRate) : port_(port), baudRate_(baudRate) {}
    ~DesktopPortReader() override { Stop(); }

    bool Start() override;
    void Stop() override;

protected:
    virtual DWORD OpenFlags() const = 0;
    virtual COMMTIMEOUTS Timeouts() const = 0;
    // Reads until stopping() or a failed read.
    virtual void ReadLoop(HANDLE port) = 0;
    // Makes a read that waits return, once stopping() holds.
    virtual void Interrupt(HANDLE port) { (void)port; }

    bool stopping() const { return stopping_; }
    void ReportFailure(const char* what) const;

private:
    std::wstring port_;
    DWORD baudRate_;
    ce::UniqueHandle handle_;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

// Overlapped reads of up to 64 KiB that return with whatever has come.
class BlockReader final : public DesktopPortReader {
public:
    using DesktopPortReader::DesktopPortReader;
    ~BlockReader() override { Stop(); }
    const char* name() const override { return "Win32 64 KiB overlapped"; }

protected:
    DWORD OpenFlags() const override { return FILE_FLAG_OVERLAPPED; }
    COMMTIMEOUTS Timeouts() const override;
    void ReadLoop(HANDLE port) override;
    void Interrupt(HANDLE port) override;
};

// Synchronous one-byte reads.
class ByteReader final : public DesktopPortReader {
public:
    using DesktopPortReader::DesktopPortReader;
    ~ByteReader() override { Stop(); }
    const char* name() const override { return "Win32 1-byte synchronous"; }

protected:
    DWORD OpenFlags() const override { return 0; }
    COMMTIMEOUTS Timeouts() const override;
    void ReadLoop(HANDLE port) override;
};

// Overlapped one-byte reads with no time-outs, each waited for: the device layer's way of
// reading, without the layer.
class OverlappedByteReader final : public DesktopPortReader {
public:
    using DesktopPortReader::DesktopPortReader;
    ~OverlappedByteReader() override { Stop(); }
    const char* name() const override { return "Win32 1-byte overlapped"; }

protected:
    DWORD OpenFlags() const override { return FILE_FLAG_OVERLAPPED; }
    COMMTIMEOUTS Timeouts() const override { return COMMTIMEOUTS{}; }
    void ReadLoop(HANDLE port) override;
    void Interrupt(HANDLE port) override;
};

} // namespace bench
