// The few command-line options of the benchmark programs: "--name value" pairs and flags.
#pragma once

#include <string>

namespace bench {

class Options {
public:
    Options(int argc, wchar_t** argv) : argc_(argc), argv_(argv) {}

    // The number after `name`, or `fallback` when the option is absent or not a number.
    double Number(const wchar_t* name, double fallback) const;
    // The word after `name`, or `fallback`.
    std::wstring Text(const wchar_t* name, const wchar_t* fallback) const;

private:
    const wchar_t* ValueOf(const wchar_t* name) const;

    int argc_;
    wchar_t** argv_;
};

} // namespace bench
