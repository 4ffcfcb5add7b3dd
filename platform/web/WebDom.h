#pragma once
// The page's half of the forms runtime: what only JavaScript can do on the page (the elements,
// their events, the clipboard, the dialogs), in platform/web/dom.js. A control is named by its
// place in the layout. Texts travel as code points: wchar_t is 32 bits wide here. Each operation
// answers 1 when done and 0 where the page refused it (the element is gone, the text is not
// Unicode, the browser said no).
#include <cstdint>

extern "C" {

// The window: its client area in CSS pixels, the font (a CSS family list and a size in pixels),
// and the words of the box that reports a failure the program cannot survive.
int velmora_dom_window(int width, int height, const wchar_t* fonts, int fontsLength, int fontPixels,
                       const wchar_t* fatalTitle, int fatalTitleLength, const wchar_t* fatalPrefix,
                       int fatalPrefixLength);
// kind: 0 command button, 1 text box, 2 image, 3 label (the order of ControlKind); its name (the
// element's id). arrow: 0 none, 1 up, 2 down; hand: the hand pointer over it; link: what a label
// that works as a link opens (empty for none), so that it is a real link on the page. The page
// keeps the controls in the order they are made in: the order a screen reader reads them in.
int velmora_dom_control(int place, const wchar_t* name, int nameLength, int kind, int left, int top,
                        int width, int height, const wchar_t* caption, int captionLength, int arrow, int hand,
                        const wchar_t* link, int linkLength);
// Its place in the tab sequence, or -1 for none: the stacking order and, where it takes the focus,
// the order of Tab.
int velmora_dom_order(int place, int position, int count);
int velmora_dom_show(int firstFocus);

// What a screen reader announces for a control whose caption does not say what it is.
int velmora_dom_set_name(int place, const wchar_t* name, int length);
// A label whose every new caption a screen reader announces.
int velmora_dom_set_live(int place);
int velmora_dom_set_caption(const wchar_t* text, int length);
int velmora_dom_set_text(int place, const wchar_t* text, int length);
// The control's text in code points (-1 when it is gone), then the code points themselves.
int velmora_dom_text_length(int place);
int velmora_dom_text_copy(int place, wchar_t* destination, int length);
int velmora_dom_set_sel_start(int place, int codePoints);
// color: 0x00BBGGRR, or -1 for the page's standard text colour.
int velmora_dom_set_look(int place, int color, int underline);
int velmora_dom_set_enabled(int place, int enabled);
int velmora_dom_focus(int place);
int velmora_dom_hide_focus_look(int place);

// Waits (the handler is suspended, the page goes on) until the browser has written the clipboard
// or refused to. 1 written; 0 a text the browser would change (a lone surrogate); where neither the
// clipboard API nor a copy from a selected field could write it: 2 the page is not a secure
// context, 3 the browser refused, 4 the browser offers no way.
int velmora_dom_clipboard(const wchar_t* text, int length);
// A modal box of the page's own with the code selected in a field, for the user to copy by hand;
// waits until it is closed.
int velmora_dom_copy_by_hand(const wchar_t* code, int codeLength, const wchar_t* title, int titleLength,
                             const wchar_t* text, int textLength);
// A modal dialog; waits until it is closed. style: 0 information, 1 error.
int velmora_dom_msgbox(const wchar_t* text, int length, int style, const wchar_t* title, int titleLength);
// The failure box: shown without waiting; the page's program stops (no event is raised again)
// and the window is taken off the page once the box is closed.
int velmora_dom_fatal(const wchar_t* title, int titleLength, const wchar_t* text, int length);
int velmora_dom_open_link(const wchar_t* target, int length);
int velmora_dom_year();

}  // extern "C"
