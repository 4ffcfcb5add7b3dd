// The window, its controls and the operations that event handlers call, on the page.
#include "platform/web/WebForms.h"

#include <emscripten/emscripten.h>

#include <limits>

#include "platform/WindowFont.h"
#include "platform/web/WebDom.h"

namespace velmora::web {

namespace {

// The one window whose events the page reports; the page has no other.
WebForms* g_open = nullptr;

int Length(std::wstring_view text) {
  if (text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
    throw PlatformError("a text too long for the page");
  }
  return static_cast<int>(text.size());
}

void Check(int done, const char* what) {
  if (done == 0) {
    throw PlatformError(what);
  }
}

// The place of a control as the page names it; the handle in the table is the place + 1, so that
// 0 stays "no element".
int Place(const ControlTable<int>::Control& control) {
  return control.handle - 1;
}

int Pixels(int twips) {
  return TwipsToPixels(twips, 96);  // CSS pixels are 1/96 inch
}

// The CSS family list: the window's fonts, quoted, then the generic face the browser falls back to.
std::wstring FontFamilies() {
  std::wstring list;
  for (const std::wstring_view family : kWindowFontFamilies) {
    list += L'"';
    list += family;
    list += L"\", ";
  }
  return list + L"sans-serif";
}

}  // namespace

WebForms::WebForms(const FormSpec& layout, ProgramVersion version, FatalErrorTexts fatal,
                   CopyByHandTexts copyByHand)
    : EventBoundary(fatal),
      spec_(layout),
      version_(version),
      fatal_(fatal),
      copyByHand_(copyByHand),
      tabOrder_(TabOrder::FromLayout(layout.controls)),
      controls_(layout.controls) {}

WebForms::~WebForms() {
  if (g_open == this) {
    g_open = nullptr;
  }
}

bool WebForms::Open(FormEvents& events) {
  events_ = &events;
  EventBoundary::Raise([&] {
    CreateWindow();
    CreateControls();
    ApplyTabOrder();
  });
  EventBoundary::Raise([&] { events_->Initialize(); });
  EventBoundary::Raise([&] {
    const int first = controls_.HandleOf(tabOrder_.Sequence().front());
    Check(velmora_dom_show(first - 1), "the window could not be shown");
    g_open = this;
  });
  return !Failed();
}

void WebForms::Raise(PageEvent event, int place) {
  if (place < 0 || static_cast<std::size_t>(place) >= spec_.controls.size()) {
    if (event == PageEvent::FormMouseMove) {
      EventBoundary::Raise([&] { events_->FormMouseMove(); });
    }
    return;
  }
  const ControlKey key(static_cast<std::size_t>(place));
  switch (event) {
    case PageEvent::Click:
      EventBoundary::Raise([&] { events_->Click(key); });
      break;
    case PageEvent::DblClick:
      EventBoundary::Raise([&] { events_->DblClick(key); });
      break;
    case PageEvent::MouseMove:
      EventBoundary::Raise([&] { events_->MouseMove(key); });
      break;
    case PageEvent::FormMouseMove:
      break;
  }
}

void WebForms::CreateWindow() {
  const std::wstring fonts = FontFamilies();
  Check(velmora_dom_window(Pixels(spec_.clientWidth), Pixels(spec_.clientHeight), fonts.data(), Length(fonts),
                           PointsToPixels(kWindowFontPoints, 96), fatal_.title.data(), Length(fatal_.title),
                           fatal_.prefix.data(), Length(fatal_.prefix)),
        "the page has no place for the window");
  SetCaption(spec_.caption);
}

// The controls are made in reading order, which the page keeps as the order of its elements.
void WebForms::CreateControls() {
  for (const ControlKey key : ReadingOrder(spec_.controls)) {
    const std::size_t place = key.index;
    const ControlSpec& c = spec_.controls[place];
    const int at = static_cast<int>(place);
    std::wstring_view link;
    for (const LinkTarget& entry : spec_.links) {
      if (entry.key == key) {
        link = entry.target;
      }
    }
    Check(velmora_dom_control(at, c.name.data(), Length(c.name), static_cast<int>(c.kind), Pixels(c.left),
                              Pixels(c.top), Pixels(c.width), Pixels(c.height), c.caption.data(),
                              Length(c.caption), static_cast<int>(c.arrow),
                              c.cursor == CursorKind::Hand ? 1 : 0, link.data(), Length(link)),
          "a control could not be made");
    const Control& control = controls_.Attach(place, at + 1);
    if (c.kind == ControlKind::Label) {
      ApplyLook(control);
    }
  }
  for (const AccessibleName& entry : spec_.accessibleNames) {
    const int handle = controls_.HandleOf(entry.key);
    if (handle != 0) {
      Check(velmora_dom_set_name(handle - 1, entry.name.data(), Length(entry.name)),
            "a control could not be named");
    }
  }
  for (const ControlKey label : spec_.liveLabels) {
    Check(velmora_dom_set_live(Place(controls_.Checked(label, ControlKind::Label))),
          "a label could not be made live");
  }
}

// Tab order and stacking both follow the tab sequence: the focusable controls in it and on top,
// the labels below them, the banner (no tab index) at the bottom.
void WebForms::ApplyTabOrder() {
  const auto& sequence = tabOrder_.Sequence();
  const int count = static_cast<int>(sequence.size());
  for (const Control& control : controls_.All()) {
    const int position = tabOrder_.IndexOf(control.design->key);
    Check(velmora_dom_order(Place(control), position, count), "the tab order could not be set");
  }
}

void WebForms::ApplyLook(const Control& label) {
  const int color = label.color == kDefaultColor ? -1 : static_cast<int>(label.color & 0xFFFFFFu);
  Check(velmora_dom_set_look(Place(label), color, label.underline ? 1 : 0),
        "a label's look could not be set");
}

std::wstring WebForms::ReadText(const Control& control) {
  const int length = velmora_dom_text_length(Place(control));
  Check(length >= 0 ? 1 : 0, "the control's text could not be read");
  std::wstring text(static_cast<std::size_t>(length), L'\0');
  Check(velmora_dom_text_copy(Place(control), text.data(), length), "the control's text could not be read");
  return text;
}

void WebForms::SetCaption(std::wstring_view caption) {
  Check(velmora_dom_set_caption(caption.data(), Length(caption)), "the title could not be set");
}

void WebForms::SetLabelCaption(ControlKey label, std::wstring_view caption) {
  const Control& control = controls_.Checked(label, ControlKind::Label);
  Check(velmora_dom_set_text(Place(control), caption.data(), Length(caption)),
        "a label's caption could not be set");
}

std::wstring WebForms::LabelCaption(ControlKey label) {
  return ReadText(controls_.Checked(label, ControlKind::Label));
}

// Setting the look a label already has changes nothing on the page.
void WebForms::SetForeColor(ControlKey label, Color color) {
  if (controls_.SetColor(label, color)) {
    ApplyLook(controls_.Checked(label, ControlKind::Label));
  }
}

void WebForms::SetFontUnderline(ControlKey label, bool underline) {
  if (controls_.SetUnderline(label, underline)) {
    ApplyLook(controls_.Checked(label, ControlKind::Label));
  }
}

void WebForms::SetEnabled(ControlKey button, bool enabled) {
  const Control& control = controls_.Checked(button, ControlKind::CommandButton);
  Check(velmora_dom_set_enabled(Place(control), enabled ? 1 : 0),
        "a button could not be enabled or disabled");
}

void WebForms::SetTabIndex(ControlKey button, std::int16_t index) {
  controls_.Checked(button, ControlKind::CommandButton);
  tabOrder_.Set(button, index);
  ApplyTabOrder();
}

// A control that cannot take the focus (a label) is left alone, as the other platforms do.
void WebForms::SetFocus(ControlKey control) {
  const int handle = controls_.HandleOf(control);
  if (handle != 0) {
    Check(velmora_dom_focus(handle - 1), "the focus could not be moved");
  }
}

// The button keeps the focus it is given (Enter and Space press it) and never shows the focus look.
// Reports no failure: a button the page no longer has works on as it was.
void WebForms::HookButton(ControlKey button) {
  velmora_dom_hide_focus_look(Place(controls_.Checked(button, ControlKind::CommandButton)));
}

std::wstring WebForms::Text(ControlKey box) {
  return ReadText(controls_.Checked(box, ControlKind::TextBox));
}

void WebForms::SetText(ControlKey box, std::wstring_view text) {
  const Control& control = controls_.Checked(box, ControlKind::TextBox);
  Check(velmora_dom_set_text(Place(control), text.data(), Length(text)), "the text could not be set");
}

// The position counts characters, as the handlers' strings do; the page counts UTF-16 units and
// converts.
void WebForms::SetSelStart(ControlKey box, std::size_t position) {
  const Control& control = controls_.Checked(box, ControlKind::TextBox);
  const int at = static_cast<int>(std::min<std::size_t>(position, std::numeric_limits<int>::max()));
  Check(velmora_dom_set_sel_start(Place(control), at), "the caret could not be moved");
}

// The browser writes the clipboard asynchronously: the handler waits here, inside the click that
// asked for it. A text with a lone surrogate, which the browser would change, is refused as the
// busy clipboard. Where the browser lets the page write nothing (no secure context, a refused
// permission, no clipboard at all), the page's own box says so and shows the code to copy by hand.
ClipboardResult WebForms::ReplaceClipboardText(std::wstring_view text) {
  std::wstring_view reason;
  switch (velmora_dom_clipboard(text.data(), Length(text))) {
    case 1:
      return ClipboardResult::Replaced;
    case 2:
      reason = copyByHand_.notSecure;
      break;
    case 3:
      reason = copyByHand_.denied;
      break;
    case 4:
      reason = copyByHand_.unsupported;
      break;
    default:
      return ClipboardResult::Busy;
  }
  const std::wstring words = std::wstring(reason) + L"\n" + std::wstring(copyByHand_.byHand);
  Check(velmora_dom_copy_by_hand(text.data(), Length(text), copyByHand_.title.data(), Length(copyByHand_.title),
                                 words.data(), Length(words)),
        "the code could not be shown for copying by hand");
  return ClipboardResult::CopyByHand;
}

void WebForms::MsgBox(std::wstring_view text, MsgBoxStyle style, std::wstring_view title) {
  Check(velmora_dom_msgbox(text.data(), Length(text), style == MsgBoxStyle::Error ? 1 : 0, title.data(),
                           Length(title)),
        "the message box could not be shown");
}

ProgramVersion WebForms::Version() {
  return version_;
}

std::int16_t WebForms::CurrentYear() {
  return static_cast<std::int16_t>(velmora_dom_year());
}

// A web address opens in a new tab that cannot reach back to this page; an e-mail address goes
// to the browser's mailto handler. Any other target is refused.
void WebForms::OpenLink(std::wstring_view target) {
  Check(velmora_dom_open_link(target.data(), Length(target)),
        "the link is neither a web address (http, https) nor an e-mail address (mailto)");
}

void WebForms::ReportFatal(std::wstring_view title, std::wstring_view text) noexcept {
  velmora_dom_fatal(title.data(), static_cast<int>(title.size()), text.data(), static_cast<int>(text.size()));
}

// The page reports no more events; the window goes once the box is closed.
void WebForms::EndAfterFailure() noexcept {
  g_open = nullptr;
}

}  // namespace velmora::web

// The page's events come in here, one at a time (dom.js raises none while a handler waits).
extern "C" EMSCRIPTEN_KEEPALIVE void velmora_event(int event, int place) {
  if (velmora::web::g_open != nullptr) {
    velmora::web::g_open->Raise(static_cast<velmora::web::PageEvent>(event), place);
  }
}
