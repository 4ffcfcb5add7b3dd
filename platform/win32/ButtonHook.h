#pragma once
// Keeps a push button from reacting when it gains the keyboard focus: the button still gets
// the focus, but its own procedure never sees WM_SETFOCUS, so it draws no focus rectangle.
// Every other message reaches the button's previous procedure unchanged.
#include <windows.h>

namespace velmora::win32 {

// Puts the filter in front of the button's window procedure. The previous procedure is kept
// per button, so buttons of different classes can carry the filter at the same time. Where the
// filter cannot go in, the button keeps its own procedure unfiltered: it then draws its focus
// rectangle, and works as before. Hooking a button twice changes nothing.
void HookButton(HWND button) noexcept;

// The filter itself, and the procedure it hands messages on to (null when not hooked).
LRESULT CALLBACK ButtonWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
WNDPROC PrevWndProc(HWND button) noexcept;

}  // namespace velmora::win32
