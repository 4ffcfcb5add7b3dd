#pragma once
// Catches the message boxes the window shows on this thread (a CBT hook, as a user would see
// them: title, text, icon, buttons, owner) and dismisses each with its OK button.
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
};

class MessageBoxCatcher {
 public:
  MessageBoxCatcher();
  ~MessageBoxCatcher();
  MessageBoxCatcher(const MessageBoxCatcher&) = delete;
  MessageBoxCatcher& operator=(const MessageBoxCatcher&) = delete;

  std::vector<CaughtBox> boxes;

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
  void Catch(HWND box);
  HHOOK hook_;
};

}  // namespace velmora::testing
