// Registry set-up and inspection for tests that run against Wine's real registry. The keys a
// test names are its own for the test's duration: set-up deletes them freely.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace devtune_test {

struct StoredValue {
    bool present = false;
    DWORD type = REG_NONE;
    std::vector<BYTE> bytes;
};

// Deletes root\path with everything under it; a missing key is fine.
void DeleteTree(HKEY root, const wchar_t* path);
bool KeyExists(HKEY root, const wchar_t* path);
// The key's class text as recorded when it was created.
std::wstring KeyClass(HKEY root, const wchar_t* path);
std::vector<std::wstring> ValueNames(HKEY root, const wchar_t* path);
std::vector<std::wstring> SubkeyNames(HKEY root, const wchar_t* path);

StoredValue ReadValue(HKEY root, const wchar_t* path, const wchar_t* name);
// Creates the key as needed and stores the value; a failure fails the calling test.
void WriteValue(HKEY root, const wchar_t* path, const wchar_t* name, DWORD type,
                const std::vector<BYTE>& bytes);

// UTF-16 bytes of `text`, with its terminator unless told otherwise.
std::vector<BYTE> Utf16(const std::wstring& text, bool terminated = true);
std::vector<BYTE> Dword(DWORD value);

// Makes HKCU\<parent>\<child> impossible to create for the life of the object: <parent> is
// recreated as a volatile key, under which Wine (like Windows) refuses to create a lasting
// key. (Wine does not enforce a key's access list, so a denying ACL would not do.)
class UncreatableKey {
public:
    explicit UncreatableKey(const wchar_t* parent, HKEY root = HKEY_CURRENT_USER);
    UncreatableKey(const UncreatableKey&) = delete;
    UncreatableKey& operator=(const UncreatableKey&) = delete;
    ~UncreatableKey();

private:
    HKEY root_;
    std::wstring parent_;
};

} // namespace devtune_test
