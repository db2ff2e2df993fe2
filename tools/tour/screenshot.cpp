#include "screenshot.h"

#include "ce/unique_handle.h"

#include <vector>

namespace tour {

namespace {

struct ScreenDc {
    HDC dc = ::GetDC(nullptr);
    ~ScreenDc() { ::ReleaseDC(nullptr, dc); }
};

} // namespace

bool SaveWindowImage(HWND window, const std::wstring& path) {
    ::SetForegroundWindow(window);
    ::RedrawWindow(window, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    ::Sleep(300);
    RECT rect{};
    ::GetWindowRect(window, &rect);
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return false;

    ScreenDc screen;
    HDC memory = ::CreateCompatibleDC(screen.dc);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen.dc, width, height);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, screen.dc, rect.left, rect.top, SRCCOPY);
    ::SelectObject(memory, old);

    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    std::vector<BYTE> pixels(stride * static_cast<DWORD>(height));
    int rows = ::GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
                           reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    if (rows != height)
        return false;

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    ce::UniqueHandle out(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return out && ::WriteFile(out.get(), &file, sizeof file, &written, nullptr) &&
           ::WriteFile(out.get(), &info, sizeof info, &written, nullptr) &&
           ::WriteFile(out.get(), pixels.data(), static_cast<DWORD>(pixels.size()), &written,
                       nullptr);
}

} // namespace tour
