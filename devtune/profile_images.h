// The two constant records of the ActiveSync profile, written as raw bytes under the
// phone-book entry "`USB": the modem layer's device configuration ("DevCfg") and the entry
// itself ("Entry"). Laid out field by field, little-endian as the target is, with every field
// pinned to its offset below.
#pragma once

#include <cstddef>
#include <cstdint>

namespace devtune {

// Device configuration of a direct serial link at 115200 bit/s.
struct DevCfgImage {
    std::uint16_t layoutVersion;
    std::uint16_t callingCardWaitSeconds;
    std::uint32_t callSetupTimeoutSeconds;
    std::uint32_t modemOptions;
    std::uint32_t lineSpeed;
    std::uint16_t dialOptions;
    std::uint8_t dataBits;
    std::uint8_t parity;
    std::uint8_t stopBits;
    std::uint8_t alignment;
    wchar_t dialModifier[257];
    wchar_t driverName[9];
    std::uint8_t driverConfiguration[126];
    std::uint32_t portHandle;
};

static_assert(offsetof(DevCfgImage, layoutVersion) == 0);
static_assert(offsetof(DevCfgImage, callingCardWaitSeconds) == 2);
static_assert(offsetof(DevCfgImage, callSetupTimeoutSeconds) == 4);
static_assert(offsetof(DevCfgImage, modemOptions) == 8);
static_assert(offsetof(DevCfgImage, lineSpeed) == 12);
static_assert(offsetof(DevCfgImage, dialOptions) == 16);
static_assert(offsetof(DevCfgImage, dataBits) == 18);
static_assert(offsetof(DevCfgImage, parity) == 19);
static_assert(offsetof(DevCfgImage, stopBits) == 20);
static_assert(offsetof(DevCfgImage, alignment) == 21);
static_assert(offsetof(DevCfgImage, dialModifier) == 22);
static_assert(offsetof(DevCfgImage, driverName) == 536);
static_assert(offsetof(DevCfgImage, driverConfiguration) == 554);
static_assert(offsetof(DevCfgImage, portHandle) == 680);
static_assert(sizeof(DevCfgImage) == 684);

// The phone-book entry, in the form the platform keeps under the entry's key.
struct EntryImage {
    std::uint32_t options;
    std::uint32_t countryId;
    std::uint32_t countryCode;
    wchar_t areaCode[11];
    wchar_t localPhoneNumber[129];
    std::uint32_t alternateNumbersOffset;
    std::uint32_t ipAddress;
    std::uint32_t nameServer;
    std::uint32_t alternateNameServer;
    std::uint32_t winsServer;
    std::uint32_t alternateWinsServer;
    std::uint32_t recordField316; // the platform's own; 1 in every entry of this kind
    wchar_t deviceType[17];
    wchar_t deviceName[129];
    wchar_t text[260];
    std::uint32_t recordField1132; // the platform's own; 0
};

static_assert(offsetof(EntryImage, options) == 0);
static_assert(offsetof(EntryImage, countryId) == 4);
static_assert(offsetof(EntryImage, countryCode) == 8);
static_assert(offsetof(EntryImage, areaCode) == 12);
static_assert(offsetof(EntryImage, localPhoneNumber) == 34);
static_assert(offsetof(EntryImage, alternateNumbersOffset) == 292);
static_assert(offsetof(EntryImage, ipAddress) == 296);
static_assert(offsetof(EntryImage, alternateWinsServer) == 312);
static_assert(offsetof(EntryImage, recordField316) == 316);
static_assert(offsetof(EntryImage, deviceType) == 320);
static_assert(offsetof(EntryImage, deviceName) == 354);
static_assert(offsetof(EntryImage, text) == 612);
static_assert(offsetof(EntryImage, recordField1132) == 1132);
static_assert(sizeof(EntryImage) == 1136);

namespace detail {

// Copies a literal into a fixed text field, leaving the rest of the field zero.
template <std::size_t FieldUnits, std::size_t TextUnits>
constexpr void CopyText(wchar_t (&field)[FieldUnits], const wchar_t (&text)[TextUnits]) {
    static_assert(TextUnits <= FieldUnits, "text and terminator must fit the field");
    for (std::size_t i = 0; i < TextUnits; ++i)
        field[i] = text[i];
}

constexpr DevCfgImage MakeDevCfgImage() {
    DevCfgImage image{};
    image.layoutVersion = 0x0030;
    image.callSetupTimeoutSeconds = 120;
    image.modemOptions = 0x100; // tone dialling
    image.lineSpeed = 115200;
    image.dataBits = 8;
    return image;
}

constexpr EntryImage MakeEntryImage() {
    EntryImage image{};
    image.options = 0x00400208;
    image.recordField316 = 1;
    CopyText(image.deviceType, L"direct");
    CopyText(image.deviceName, L"Serial on USB");
    return image;
}

} // namespace detail

inline constexpr DevCfgImage kDevCfgImage = detail::MakeDevCfgImage();
inline constexpr EntryImage kEntryImage = detail::MakeEntryImage();

} // namespace devtune
