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

// The page's own words, before and around the program (the page's build writes them into
// index.html and start.js; each is one literal on one line, as that build reads them).
// While the program loads, in the window's frame; without JavaScript.
inline constexpr std::wstring_view kPageLoading = L"正在打开 Velmora…";
inline constexpr std::wstring_view kPageNeedsScript = L"Velmora 需要 JavaScript：请在浏览器设置中允许本网站运行 JavaScript，然后刷新页面。";
// When the program cannot load or start: the heading, then what happened and what to do.
inline constexpr std::wstring_view kPageFailed = L"Velmora 没能打开";
inline constexpr std::wstring_view kPageScriptMissing = L"程序文件 velmora.js 没有加载成功：它在网站上缺失或已损坏。\n请刷新页面；如果仍然这样，请告诉网站管理员重新上传完整的网站文件。";
inline constexpr std::wstring_view kPageWasmMissing = L"程序文件 velmora.wasm 在网站上缺失（网站回答：找不到文件）。\n请刷新页面；如果仍然这样，请告诉网站管理员重新上传完整的网站文件。";
inline constexpr std::wstring_view kPageWasmCorrupt = L"程序文件 velmora.wasm 已损坏，无法运行。\n请刷新页面；如果仍然这样，请告诉网站管理员重新上传完整的网站文件。";
inline constexpr std::wstring_view kPageNetwork = L"无法从网站下载程序文件 velmora.wasm：网络连接中断。\n请检查网络连接，然后刷新页面。";
inline constexpr std::wstring_view kPageFromFile = L"浏览器不允许直接从本地文件运行这个页面里的程序。\n请把网站文件夹放到网站服务器上，用 http:// 或 https:// 地址打开；在本机上，可以在该文件夹里运行一个本地网页服务器（例如 python3 -m http.server），再打开 http://localhost:8000/。";
inline constexpr std::wstring_view kPageNoWasm = L"这个浏览器不支持或已禁用 WebAssembly，无法运行本程序。\n请换用新版的 Chrome、Edge、Firefox 或 Safari；如果开启了“锁定模式”之类的安全设置，请为本网站关闭它，然后刷新页面。";
inline constexpr std::wstring_view kPageWasmRefused = L"网站服务器的安全策略（Content-Security-Policy）不允许本页面运行 WebAssembly 程序。\n请告诉网站管理员：在 script-src 中加入 'wasm-unsafe-eval'（网站文件中附有现成的服务器配置）。";
inline constexpr std::wstring_view kPageMismatch = L"网站刚刚更新，已加载的程序文件来自两个不同的版本。\n请刷新页面。";
inline constexpr std::wstring_view kPageStartFailed = L"程序启动时出错。\n请刷新页面；如果仍然这样，请换用新版的 Chrome、Edge、Firefox 或 Safari。";

// Where the page can put nothing on the clipboard: why, in a box of the page's own, with the code
// shown selected in a field for the user to copy by hand.
inline constexpr std::wstring_view kCopyByHandTitle = L"请手动复制代码";
inline constexpr std::wstring_view kCopyNotSecure = L"这个网页不是通过安全连接（https）打开的，浏览器不允许它写入剪贴板。";
inline constexpr std::wstring_view kCopyDenied = L"浏览器拒绝了本网页写入剪贴板（剪贴板权限已关闭）。";
inline constexpr std::wstring_view kCopyUnsupported = L"这个浏览器不允许网页写入剪贴板。";
inline constexpr std::wstring_view kCopyByHand = L"代码已生成，在下面的框中选中：请按 Ctrl+C 复制（手机上长按后选择“复制”），再粘贴到QQ个人设置中的QQ昵称里面。";

}  // namespace velmora::texts
