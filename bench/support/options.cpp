#include "options.h"

#include <cwchar>

namespace bench {

const wchar_t* Options::ValueOf(const wchar_t* name) const {
    for (int i = 1; i + 1 < argc_; ++i) {
        if (std::wcscmp(argv_[i], name) == 0)
            return argv_[i + 1];
    }
    return nullptr;
}

double Options::Number(const wchar_t* name, double fallback) const {
    const wchar_t* value = ValueOf(name);
    if (value == nullptr)
        return fallback;
    wchar_t* end = nullptr;
    double number = std::wcstod(value, &end);
    return end != value && *end == L'\0' ? number : fallback;
}

std::wstring Options::Text(const wchar_t* name, const wchar_t* fallback) const {
    const wchar_t* value = ValueOf(name);
    return value != nullptr ? value : fallback;
}

} // namespace bench
