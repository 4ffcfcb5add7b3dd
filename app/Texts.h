#pragma once
// Every text the user sees, in one place. Line breaks are written "\n"; each platform shows them
// its own way (CR LF in a Windows message box).
#include <string_view>

#include "BuildSettings.h"

namespace velmora::texts {

inline constexpr std::wstring_view kProductName = L"Velmora";
inline constexpr std::wstring_view kDefaultNickname = L"Corvane";
inline constexpr std::wstring_view kCredit = L"Corvane网 荣誉出品";
inline constexpr std::wstring_view kWebAddress = VELMORA_WEB_ADDRESS;
inline constexpr std::wstring_view kEmailCaption = L"E-mail:" VELMORA_EMAIL;
inline constexpr std::wstring_view kMailtoTarget = L"mailto:" VELMORA_EMAIL;

inline constexpr std::wstring_view kNicknamePrompt = L"请输入QQ昵称：";
inline constexpr std::wstring_view kCountCaption = L"昵称前增加的空格数量：";
inline constexpr std::wstring_view kTip = L"提示：空格越多，你的昵称排得越前";
inline constexpr std::wstring_view kMakeButton = L"生成并复制(&C)";
// What a screen reader announces for the two arrow buttons.
inline constexpr std::wstring_view kUpArrowName = L"增加空格";
inline constexpr std::wstring_view kDownArrowName = L"减少空格";

inline constexpr std::wstring_view kErrorTitle = L"出错提示";
inline constexpr std::wstring_view kEmptyNickname = L"请先输入QQ昵称";
inline constexpr std::wstring_view kClipboardBusy = L"剪贴板正被其他程序占用，代码未能复制。\n请稍后再试。";
inline constexpr std::wstring_view kDoneTitle = L"温馨提示";
inline constexpr std::wstring_view kDone =
    L"代码成功生成并已经复制到系统的剪贴板上，\n请粘贴到QQ个人设置中的QQ昵称里面。";

// The program's own words for a failure that ends it.
inline constexpr std::wstring_view kFatalTitle = L"Velmora";
inline constexpr std::wstring_view kFatalPrefix = L"程序遇到无法继续的错误，即将退出。\n\n";

}  // namespace velmora::texts
