// tour PROGRAM SCREENSHOT_DIR: runs the tour of beamlet, swipelet or devtune.
#include "screenshot.h"
#include "tour.h"

#include <cstdio>
#include <string>

namespace tour {

void Say(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

// Control characters are spelled out, so that the text reads as it is.
void SayText(const std::string& label, const std::wstring& text) {
    std::string shown;
    for (wchar_t c : text) {
        if (c == L'\r')
            shown += "\\r";
        else if (c == L'\n')
            shown += "\\n\n    ";
        else if (c < 0x20 || c > 0x7E) {
            char hex[12];
            std::snprintf(hex, sizeof hex, "\\u%04X", static_cast<unsigned>(c));
            shown += hex;
        } else
            shown += static_cast<char>(c);
    }
    Say(label + ":\n    " + shown);
}

bool Output::Save(HWND window, const std::wstring& name) const {
    std::wstring path = directory + L"\\" + name + L".bmp";
    bool saved = SaveWindowImage(window, path);
    std::printf("%s %ls\n", saved ? "screenshot:" : "screenshot failed:", path.c_str());
    return saved;
}

} // namespace tour

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: tour beamlet|swipelet|devtune SCREENSHOT_DIR\n");
        return 2;
    }
    std::wstring program = argv[1];
    tour::Output output{argv[2]};
    if (program == L"beamlet")
        return tour::RunBeamletTour(output);
    if (program == L"swipelet")
        return tour::RunSwipeletTour(output);
    if (program == L"devtune")
        return tour::RunDevtuneTour(output);
    std::fprintf(stderr, "tour: no tour of %ls\n", program.c_str());
    return 2;
}
