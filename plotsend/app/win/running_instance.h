#pragma once
// A second Plotsend.exe on a work directory that another run holds: it says
// so and brings that run's window to the front.
#include <windows.h>

#include <cstdint>
#include <string>

namespace plotsend::win32 {

// The visible top-level window of process `pid` titled `title`, else its
// first visible top-level window without an owner; nullptr when none.
HWND FindProcessWindow(uint32_t pid, const std::wstring& title);

// Shows `text` in a message box, then brings the window of the run `pid`
// (0: unknown) to the front, restored, with its active popup on top.
void PointAtRunningInstance(uint32_t pid, const std::string& text);

}  // namespace plotsend::win32
