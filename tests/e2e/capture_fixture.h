// What the end-to-end tests of both capture programs share: the program's window, and reading
// the log box in step with the program's one-second display timer.
#pragma once

#include "app_session.h"

#include <gtest/gtest.h>

#include <string>

namespace e2e {

inline constexpr int kLogBox = 1000;
inline constexpr int kPortButton = 1001;
// Longer than one display tick, with room for a slow start.
inline constexpr DWORD kTickWaitMs = 2500;

inline bool EndsWith(const std::wstring& text, const std::wstring& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Waits until the log box shows exactly `expected`.
inline ::testing::AssertionResult LogBecomes(const AppSession& app, const std::wstring& expected,
                                             DWORD timeoutMs = kTickWaitMs) {
    std::wstring got = app.WaitForText(
        kLogBox, [&](const std::wstring& t) { return t == expected; }, timeoutMs);
    if (got == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "log box shows \"" << std::string(got.begin(), got.end()) << "\"";
}

// Shows whether the display timer is running by the (unchanged) box staying put for a tick.
inline bool LogStaysFor(const AppSession& app, DWORD ms) {
    std::wstring before = app.Text(kLogBox);
    ::Sleep(ms);
    return app.Text(kLogBox) == before;
}

// Runs the bench's port tool: "COM1 missing" or "COM1 cable".
inline void SetPort(const std::string& portAndState) {
    const char* tool = std::getenv("BENCH_PORT_TOOL");
    ASSERT_NE(tool, nullptr) << "run inside scripts/bench";
    ASSERT_TRUE(RunHostCommand(std::string(tool) + " " + portAndState));
}

} // namespace e2e
