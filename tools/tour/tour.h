// A short guided run of one program on the simulated terminal: it drives the real window as
// a person would, saves screenshots and prints what the program showed.
#pragma once

#include <windows.h>

#include <string>

namespace tour {

// Where screenshots go (a Windows path), and a note of each one saved.
struct Output {
    std::wstring directory;
    bool Save(HWND window, const std::wstring& name) const;
};

void Say(const std::string& line);
void SayText(const std::string& label, const std::wstring& text);

int RunBeamletTour(const Output& output);
int RunSwipeletTour(const Output& output);
int RunDevtuneTour(const Output& output);

} // namespace tour
