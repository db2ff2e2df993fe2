#include "dialog_resource.h"

#include <cstring>

namespace dialog_resource {

namespace {

class Reader {
public:
    explicit Reader(const std::vector<BYTE>& bytes) : bytes_(bytes) {}

    template <typename T> T Get() {
        T value{};
        if (offset_ + sizeof value <= bytes_.size())
            std::memcpy(&value, &bytes_[offset_], sizeof value);
        offset_ += sizeof value;
        return value;
    }

    // A name or ordinal field: 0xFFFF then an ordinal, or a zero-terminated text.
    std::wstring NameOrOrdinal() {
        WORD first = Get<WORD>();
        if (first == 0xFFFF)
            return OrdinalName(Get<WORD>());
        std::wstring text;
        for (WORD unit = first; unit != 0 && offset_ <= bytes_.size(); unit = Get<WORD>())
            text += static_cast<wchar_t>(unit);
        return text;
    }

    void AlignTo4() { offset_ = (offset_ + 3) & ~static_cast<std::size_t>(3); }

private:
    static std::wstring OrdinalName(WORD ordinal) {
        static const wchar_t* const predefined[] = {L"Button",  L"Edit",      L"Static",
                                                    L"ListBox", L"ScrollBar", L"ComboBox"};
        if (ordinal >= 0x80 && ordinal < 0x80 + std::size(predefined))
            return predefined[ordinal - 0x80];
        return L"#" + std::to_wstring(ordinal);
    }

    const std::vector<BYTE>& bytes_;
    std::size_t offset_ = 0;
};

Control ReadControl(Reader& reader, bool extended) {
    Control control;
    if (extended) {
        reader.Get<DWORD>(); // help id
        control.exStyle = reader.Get<DWORD>();
        control.style = reader.Get<DWORD>();
    } else {
        control.style = reader.Get<DWORD>();
        control.exStyle = reader.Get<DWORD>();
    }
    control.x = reader.Get<short>();
    control.y = reader.Get<short>();
    control.cx = reader.Get<short>();
    control.cy = reader.Get<short>();
    control.id = extended ? static_cast<int>(reader.Get<DWORD>()) : reader.Get<short>();
    control.className = reader.NameOrOrdinal();
    control.text = reader.NameOrOrdinal();
    WORD extra = reader.Get<WORD>();
    for (WORD i = 0; i < extra; ++i)
        reader.Get<BYTE>();
    return control;
}

} // namespace

Dialog Parse(const std::vector<BYTE>& bytes) {
    Reader reader(bytes);
    Dialog dialog;
    WORD version = 0, signature = 0;
    if (bytes.size() >= 4) {
        std::memcpy(&version, bytes.data(), sizeof version);
        std::memcpy(&signature, bytes.data() + 2, sizeof signature);
    }
    dialog.extended = version == 1 && signature == 0xFFFF;
    if (dialog.extended) {
        reader.Get<DWORD>(); // version and signature
        reader.Get<DWORD>(); // help id
        dialog.exStyle = reader.Get<DWORD>();
        dialog.style = reader.Get<DWORD>();
    } else {
        dialog.style = reader.Get<DWORD>();
        dialog.exStyle = reader.Get<DWORD>();
    }
    WORD count = reader.Get<WORD>();
    dialog.x = reader.Get<short>();
    dialog.y = reader.Get<short>();
    dialog.cx = reader.Get<short>();
    dialog.cy = reader.Get<short>();
    dialog.menu = reader.NameOrOrdinal();
    dialog.windowClass = reader.NameOrOrdinal();
    dialog.title = reader.NameOrOrdinal();
    if (dialog.style & DS_SETFONT) {
        dialog.pointSize = reader.Get<WORD>();
        if (dialog.extended) {
            reader.Get<WORD>(); // weight
            reader.Get<BYTE>(); // italic
            reader.Get<BYTE>(); // character set
        }
        dialog.font = reader.NameOrOrdinal();
    }
    for (WORD i = 0; i < count; ++i) {
        reader.AlignTo4();
        dialog.controls.push_back(ReadControl(reader, dialog.extended));
    }
    return dialog;
}

} // namespace dialog_resource
