#pragma once
// Catches the message boxes the window shows on this thread (a CBT hook, as a user would see
// them: title, text, icon, buttons, owner) and dismisses each with its OK button, at once or,
// for a box that a test leaves up for a while, when the test says.
#include <windows.h>

#include <string>
#include <vector>

namespace velmora::testing {

enum class BoxIcon { None, Error, Information, Other };

struct CaughtBox {
  std::wstring title;
  std::wstring text;
  BoxIcon icon = BoxIcon::None;
  int buttons = 0;
  HWND owner = nullptr;
  HWND box = nullptr;
};

enum class Dismiss { AtOnce, ByTheTest };

class MessageBoxCatcher {
 public:
  explicit MessageBoxCatcher(Dismiss dismiss = Dismiss::AtOnce);
  ~MessageBoxCatcher();
  MessageBoxCatcher(const MessageBoxCatcher&) = delete;
  MessageBoxCatcher& operator=(const MessageBoxCatcher&) = delete;

  std::vector<CaughtBox> boxes;

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
  void Catch(HWND box);
  Dismiss dismiss_;
  HHOOK hook_;
};

}  // namespace velmora::testing
