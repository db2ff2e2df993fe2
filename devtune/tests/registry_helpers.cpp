#include "registry_helpers.h"

#include <gtest/gtest.h>

namespace devtune_test {

void DeleteTree(HKEY root, const wchar_t* path) {
    LONG result = ::RegDeleteTreeW(root, path);
    ASSERT_TRUE(result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND)
        << "cannot delete " << std::wstring(path).size() << "-char key, error " << result;
}

bool KeyExists(HKEY root, const wchar_t* path) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(key);
    return true;
}

std::wstring KeyClass(HKEY root, const wchar_t* path) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return L"<no key>";
    wchar_t text[64] = {};
    DWORD units = 64;
    LONG result = ::RegQueryInfoKeyW(key, text, &units, nullptr, nullptr, nullptr, nullptr, nullptr,
                                     nullptr, nullptr, nullptr, nullptr);
    ::RegCloseKey(key);
    return result == ERROR_SUCCESS ? std::wstring(text, units) : L"<no class>";
}

namespace {

template <typename Enumerate>
std::vector<std::wstring> Names(HKEY root, const wchar_t* path, Enumerate enumerate) {
    std::vector<std::wstring> names;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return names;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD units = 256;
        if (enumerate(key, i, name, &units) != ERROR_SUCCESS)
            break;
        names.emplace_back(name, units);
    }
    ::RegCloseKey(key);
    return names;
}

} // namespace

std::vector<std::wstring> ValueNames(HKEY root, const wchar_t* path) {
    return Names(root, path, [](HKEY key, DWORD i, wchar_t* name, DWORD* units) {
        return ::RegEnumValueW(key, i, name, units, nullptr, nullptr, nullptr, nullptr);
    });
}

std::vector<std::wstring> SubkeyNames(HKEY root, const wchar_t* path) {
    return Names(root, path, [](HKEY key, DWORD i, wchar_t* name, DWORD* units) {
        return ::RegEnumKeyExW(key, i, name, units, nullptr, nullptr, nullptr, nullptr);
    });
}

StoredValue ReadValue(HKEY root, const wchar_t* path, const wchar_t* name) {
    StoredValue value;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return value;
    DWORD bytes = 0;
    if (::RegQueryValueExW(key, name, nullptr, &value.type, nullptr, &bytes) == ERROR_SUCCESS) {
        value.bytes.resize(bytes);
        value.present = ::RegQueryValueExW(key, name, nullptr, &value.type, value.bytes.data(),
                                           &bytes) == ERROR_SUCCESS;
        value.bytes.resize(bytes);
    }
    ::RegCloseKey(key);
    return value;
}

void WriteValue(HKEY root, const wchar_t* path, const wchar_t* name, DWORD type,
                const std::vector<BYTE>& bytes) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    // Windows (and Wine) count a string's missing terminator in when the unit after the data
    // is zero; a non-zero tail keeps an unterminated string exactly as given.
    std::vector<BYTE> data = bytes;
    data.push_back(0xEE);
    data.push_back(0xEE);
    LONG result =
        ::RegSetValueExW(key, name, 0, type, data.data(), static_cast<DWORD>(bytes.size()));
    ::RegCloseKey(key);
    ASSERT_EQ(result, ERROR_SUCCESS);
}

std::vector<BYTE> Utf16(const std::wstring& text, bool terminated) {
    const auto* begin = reinterpret_cast<const BYTE*>(text.c_str());
    const std::size_t units = text.size() + (terminated ? 1 : 0);
    return std::vector<BYTE>(begin, begin + units * sizeof(wchar_t));
}

std::vector<BYTE> Dword(DWORD value) {
    const auto* begin = reinterpret_cast<const BYTE*>(&value);
    return std::vector<BYTE>(begin, begin + sizeof value);
}

UncreatableKey::UncreatableKey(const wchar_t* parent, HKEY root) : root_(root), parent_(parent) {
    DeleteTree(root, parent);
    HKEY key = nullptr;
    EXPECT_EQ(::RegCreateKeyExW(root, parent, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                                nullptr, &key, nullptr),
              ERROR_SUCCESS);
    if (key != nullptr)
        ::RegCloseKey(key);
}

UncreatableKey::~UncreatableKey() {
    DeleteTree(root_, parent_.c_str());
}

} // namespace devtune_test
