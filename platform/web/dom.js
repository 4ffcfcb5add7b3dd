// The page's half of the forms runtime (platform/web/WebDom.h): the window's elements and their
// events, the clipboard and the dialogs, which only JavaScript can reach. It decides nothing:
// every rule of the window is in the C++ program. An operation answers 1 when done, 0 where the
// page refused it, and never lets a JavaScript error into the program.
mergeInto(LibraryManager.library, {
  $VelmoraPage: {
    frame: null,       // the window on the page: its caption bar and client area
    client: null,
    caption: null,
    probe: null,       // full-width characters in the window font at its designed size: the size drawn
    width: 0,          // the client area's designed width in CSS pixels
    fontPixels: 0,     // the window font's designed size in CSS pixels
    controls: [],      // the controls' elements, by their places in the layout
    fatal: null,       // the words of the failure box: {title, prefix}
    busy: false,       // a handler runs or waits (for the clipboard, a dialog): no other event now
    stopped: false,    // after a failure: no event ever again
    boxes: 0,

    // Code points in the program's memory to a string; null for a value that is not one.
    // A lone surrogate stays the UTF-16 unit it was.
    text: function(pointer, length) {
      var units = [], out = '', first = pointer >> 2, i, c;
      for (i = 0; i < length; i++) {
        c = HEAPU32[first + i];
        if (c > 0x10FFFF) return null;
        if (c > 0xFFFF) {
          c -= 0x10000;
          units.push(0xD800 | (c >> 10), 0xDC00 | (c & 0x3FF));
        } else {
          units.push(c);
        }
        if (units.length >= 8192) {
          out += String.fromCharCode.apply(null, units);
          units.length = 0;
        }
      }
      return out + String.fromCharCode.apply(null, units);
    },

    // A string to code points: a surrogate pair is one, a lone surrogate stays itself.
    points: function(s) {
      var out = [], i, c, d;
      for (i = 0; i < s.length; i++) {
        c = s.charCodeAt(i);
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < s.length) {
          d = s.charCodeAt(i + 1);
          if (d >= 0xDC00 && d < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (d - 0xDC00);
            i++;
          }
        }
        out.push(c);
      }
      return out;
    },

    // The place of the label that an event of the window's surface came from, or -1.
    label: function(target) {
      var e = target.closest && target.closest('.client > .label');
      return e ? VelmoraPage.controls.indexOf(e) : -1;
    },

    element: function(place) {
      var e = VelmoraPage.controls[place];
      return e && e.isConnected ? e : null;
    },

    value: function(e) {
      return e.localName === 'input' ? e.value : e.textContent;
    },

    // One event of the page to the program, unless a handler is still running or waiting: the
    // window is modal-blocked then, as a window is behind its message box.
    raise: function(event, place) {
      var P = VelmoraPage;
      if (P.busy || P.stopped) return;
      P.busy = true;
      try {
        _velmora_event(event, place);
      } finally {
        if (Asyncify.currData) {
          Asyncify.whenDone().then(P.idle, P.idle);
        } else {
          P.busy = false;
        }
      }
    },
    idle: function() {
      VelmoraPage.busy = false;
    },

    // A caption with an access key: "&C" shows the C underlined, and Alt+C presses the button (see
    // the window's keydown handler). Not the browser's own accessKey: its chord differs between
    // browsers, and WebKit's presses the button and moves the focus to it before the page sees the
    // key, a second press with the page's. Assistive technology learns the key from aria-keyshortcuts.
    keys: [],  // the buttons' access keys: {button, key}, key in lower case
    buttonCaption: function(button, caption) {
      var at = caption.search(/&[^&]/), u;
      if (at < 0) {
        button.textContent = caption.replace(/&&/g, '&');
        return;
      }
      u = document.createElement('u');
      u.textContent = caption.charAt(at + 1);
      button.replaceChildren(caption.slice(0, at), u, caption.slice(at + 2));
      VelmoraPage.keys.push({button: button, key: u.textContent.toLowerCase()});
      button.setAttribute('aria-keyshortcuts', 'Alt+' + u.textContent.toUpperCase());
    },

    // A modal box: its title, its text and one OK button; Enter and Escape close it. It is gone, and
    // the program told, in the same moment it closes (the browser's close event comes a task later):
    // the focus is never seen back on the control the box took it from when the program puts it
    // elsewhere, nor a closed box on the page. A field, if given, goes under the text and takes the
    // focus.
    dialog: function(title, text, style, closed, field) {
      var P = VelmoraPage, id = 'velmora-box-' + (++P.boxes);
      var box = document.createElement('dialog'), head = document.createElement('h2');
      var body = document.createElement('div'), icon = document.createElement('span');
      var words = document.createElement('p'), ok = document.createElement('button');
      box.className = 'box';
      head.id = id + '-title';
      head.textContent = title;
      icon.className = style ? 'icon error' : 'icon information';
      icon.setAttribute('aria-hidden', 'true');  // the box's role and title say what the icon shows
      words.id = id + '-text';
      words.textContent = text;
      body.className = 'body';
      body.append(icon, words);
      ok.type = 'button';
      ok.textContent = '确定';
      box.setAttribute('aria-labelledby', head.id);
      box.setAttribute('aria-describedby', words.id);
      var gone = false, finish = function() {
        if (gone) return;
        gone = true;
        if (box.open) box.close();  // the focus back where it was before the box
        box.remove();
        closed();
      };
      ok.addEventListener('click', finish);
      box.addEventListener('cancel', finish);  // Escape
      box.addEventListener('close', finish);   // closed any other way
      box.append(head, body);
      if (field) box.append(field);
      box.append(ok);
      document.body.appendChild(box);
      box.showModal();
      (field || ok).focus();
    },

    // The text put on the clipboard by the browser's copy command from a selected hidden field,
    // inside the user's gesture, where the clipboard API is missing or refuses; the focus goes back
    // where it was. True when the browser copied it.
    copyFromField: function(text) {
      var field = document.createElement('textarea'), before = document.activeElement, done = false;
      field.value = text;
      field.readOnly = true;
      field.setAttribute('aria-hidden', 'true');
      field.style.position = 'fixed';
      field.style.left = '0';
      field.style.top = '0';
      field.style.width = '1px';
      field.style.height = '1px';
      field.style.opacity = '0';
      document.body.appendChild(field);
      try {
        field.focus({preventScroll: true});
        field.setSelectionRange(0, text.length);
        done = document.execCommand('copy') === true;
      } catch (e) {
        done = false;
      }
      field.remove();
      if (before && before.focus) before.focus({preventScroll: true});
      return done;
    },

    // The program ends: one box, no event again, and the window goes once the box is closed.
    stop: function(title, text) {
      var P = VelmoraPage;
      if (P.stopped) return;
      P.stopped = true;
      if (P.frame) P.frame.inert = true;
      P.dialog(title, text, 1, function() {
        if (P.frame) P.frame.remove();
        P.frame = null;
      });
    },

    // Where the browser draws text larger than the window's font (a minimum font size the user
    // set), the whole window grows by that much, its layout unchanged, so that no caption runs
    // under the next control or out of its button. On a screen narrower than the window (a
    // phone), the whole window is then scaled to the width, so that nothing scrolls sideways;
    // hit-testing follows the scaled layout.
    fit: function() {
      var P = VelmoraPage, room = document.documentElement.clientWidth, size, grow, width, zoom;
      if (!P.frame) return;
      // The size the browser draws the font at: its computed size (Chromium, WebKit) or the width
      // of the probe's full-width characters, one em each (Firefox computes the size as set).
      size = Math.max(parseFloat(getComputedStyle(P.probe).fontSize) || 0,
                      P.probe.getBoundingClientRect().width / P.probe.textContent.length);
      grow = size > P.fontPixels + 0.5 ? size / P.fontPixels : 1;
      width = P.width * grow + 2;  // and the frame's border
      // Rounded down, so that the scaled window never ends a fraction of a pixel past the screen.
      zoom = room < width ? Math.floor(room / width * 1000) / 1000 : 1;
      P.client.style.setProperty('--u', grow + 'px');
      P.frame.style.setProperty('--zoom', String(zoom));
      P.frame.style.zoom = zoom < 1 ? String(zoom) : '';
    },
  },

  velmora_dom_window__deps: ['$VelmoraPage'],
  velmora_dom_window: function(width, height, fonts, fontsLength, fontPixels, fatalTitle, fatalTitleLength,
                               fatalPrefix, fatalPrefixLength) {
    try {
      var P = VelmoraPage, host = document.getElementById('velmora');
      var frame = document.createElement('div'), bar = document.createElement('div');
      var icon = document.createElement('img'), caption = document.createElement('span');
      var client = document.createElement('div'), probe = document.createElement('span');
      var family = P.text(fonts, fontsLength);
      if (!host || family === null) return 0;
      performance.mark('velmora-open');  // the program has started and makes its window
      P.fatal = {title: P.text(fatalTitle, fatalTitleLength), prefix: P.text(fatalPrefix, fatalPrefixLength)};
      Module['onAbort'] = function(what) {
        P.stop(P.fatal.title, P.fatal.prefix + what);
      };
      frame.className = 'frame';
      frame.hidden = true;
      bar.className = 'caption';
      icon.src = 'icon-32.png';
      icon.alt = '';
      bar.append(icon, caption);
      client.className = 'client';
      // Places and sizes are in the window's pixels, --u CSS pixels each (velmora.css).
      client.style.setProperty('--w', String(width));
      client.style.setProperty('--h', String(height));
      client.style.setProperty('--font', String(fontPixels));
      client.style.fontFamily = family;
      probe.className = 'probe';
      probe.setAttribute('aria-hidden', 'true');
      probe.style.fontFamily = family;
      probe.style.fontSize = fontPixels + 'px';
      probe.textContent = '空空空空';
      // The labels' events reach the program through the window's surface, so that no label is a
      // tap target of its own: on a touch screen the browser moves a tap near a control that
      // listens to its nearest such control, and a label must not take an arrow's taps.
      client.addEventListener('mousemove', function(event) {
        var label = P.label(event.target);
        if (event.target === client) P.raise(3, -1);
        else if (label >= 0) P.raise(2, label);
      });
      client.addEventListener('click', function(event) {
        var label = P.label(event.target);
        if (label < 0) return;
        if (event.target.closest('a')) event.preventDefault();  // opened by the program, once
        P.raise(0, label);
      });
      client.addEventListener('dblclick', function(event) {
        var label = P.label(event.target);
        if (label >= 0) P.raise(1, label);
      });
      // A press on what cannot take the focus (a label, the banner, the window's surface, a
      // disabled button, which lets the pointer through to the window) leaves the focus where it
      // is, as in a desktop window.
      client.addEventListener('mousedown', function(event) {
        var control = event.target.closest('input, button');
        if (!control || control.disabled) event.preventDefault();
      });
      // The buttons' access keys, as a desktop dialog has them: Alt and the underlined letter
      // presses the button once, and the focus stays where it is.
      document.addEventListener('keydown', function(event) {
        if (!event.altKey || event.ctrlKey || event.metaKey || event.repeat) return;
        P.keys.forEach(function(access) {
          var e = access.button, key = access.key;
          if (e.isConnected && !e.disabled &&
              (event.key.toLowerCase() === key || event.code === 'Key' + key.toUpperCase())) {
            event.preventDefault();
            e.click();
          }
        });
      });
      frame.append(bar, client);
      host.replaceChildren(frame);
      document.body.appendChild(probe);
      P.frame = frame;
      P.client = client;
      P.caption = caption;
      P.probe = probe;
      P.width = width;
      P.fontPixels = fontPixels;
      return 1;
    } catch (e) {
      return 0;
    }
  },

  velmora_dom_control__deps: ['$VelmoraPage'],
  velmora_dom_control: function(place, name, nameLength, kind, left, top, width, height, caption, captionLength,
                                arrow, hand, link, linkLength) {
    try {
      var P = VelmoraPage, text = P.text(caption, captionLength), id = P.text(name, nameLength), e;
      var target = P.text(link, linkLength);
      if (text === null || id === null || target === null || !P.client) return 0;
      if (kind === 0) {
        e = document.createElement('button');
        e.type = 'button';
        if (arrow) {
          // The arrow is drawn by velmora.css; the empty child is its larger touch target there.
          e.className = arrow === 1 ? 'arrow up' : 'arrow down';
          e.appendChild(document.createElement('span')).className = 'reach';
        } else {
          P.buttonCaption(e, text);
        }
        e.addEventListener('click', function() { P.raise(0, place); });
      } else if (kind === 1) {
        e = document.createElement('input');
        e.type = 'text';
        e.value = text;
        e.spellcheck = false;
        e.autocomplete = 'off';
        e.addEventListener('dblclick', function() { P.raise(1, place); });
      } else if (kind === 2) {
        e = document.createElement('img');
        e.src = 'banner.png';
        e.alt = '';
        e.draggable = false;
      } else {
        // A label that opens a target is a real link: Tab reaches it, Enter opens it, a long press
        // offers its address. Its click opens the target through the program, once: never the
        // browser's own navigation as well.
        // A label that opens a target is a real link: Tab reaches it, Enter opens it, a long press
        // offers its address. Its click (see the window's surface) opens it through the program,
        // once, never by the browser's own navigation as well.
        e = document.createElement(target ? 'a' : 'span');
        if (target) e.href = target;
        e.className = hand ? 'label hand' : 'label';
        e.textContent = text;
      }
      e.id = id;
      e.style.setProperty('--x', String(left));
      e.style.setProperty('--y', String(top));
      if (kind !== 3) {  // a label is as large as its caption
        e.style.setProperty('--w', String(width));
        e.style.setProperty('--h', String(height));
      }
      P.controls[place] = e;
      P.client.appendChild(e);
      return 1;
    } catch (e) {
      return 0;
    }
  },

  velmora_dom_order__deps: ['$VelmoraPage'],
  velmora_dom_order: function(place, position, count) {
    var e = VelmoraPage.element(place);
    if (!e) return 0;
    e.style.zIndex = position < 0 ? '0' : String(count - position);
    if (e.localName === 'button' || e.localName === 'input') e.tabIndex = position < 0 ? -1 : position + 1;
    return 1;
  },

  velmora_dom_show__deps: ['$VelmoraPage'],
  velmora_dom_show: function(first) {
    var P = VelmoraPage, e = P.element(first);
    if (!P.frame) return 0;
    P.frame.hidden = false;
    P.fit();
    window.addEventListener('resize', P.fit);
    if (e) e.focus();
    performance.mark('velmora-window-shown');
    return 1;
  },

  velmora_dom_set_name__deps: ['$VelmoraPage'],
  velmora_dom_set_name: function(place, name, length) {
    var e = VelmoraPage.element(place), text = VelmoraPage.text(name, length);
    if (!e || text === null) return 0;
    e.setAttribute('aria-label', text);
    return 1;
  },

  velmora_dom_set_live__deps: ['$VelmoraPage'],
  velmora_dom_set_live: function(place) {
    var e = VelmoraPage.element(place);
    if (!e) return 0;
    e.setAttribute('aria-live', 'polite');
    e.setAttribute('aria-atomic', 'true');
    return 1;
  },

  velmora_dom_set_caption__deps: ['$VelmoraPage'],
  velmora_dom_set_caption: function(caption, length) {
    var P = VelmoraPage, text = P.text(caption, length);
    if (text === null || !P.caption) return 0;
    document.title = text;
    P.caption.textContent = text;
    return 1;
  },

  velmora_dom_set_text__deps: ['$VelmoraPage'],
  velmora_dom_set_text: function(place, pointer, length) {
    var e = VelmoraPage.element(place), text = VelmoraPage.text(pointer, length);
    if (!e || text === null) return 0;
    if (e.localName === 'input') {
      e.value = text;
    } else {
      e.textContent = text;
    }
    return 1;
  },

  velmora_dom_text_length__deps: ['$VelmoraPage'],
  velmora_dom_text_length: function(place) {
    var e = VelmoraPage.element(place);
    return e ? VelmoraPage.points(VelmoraPage.value(e)).length : -1;
  },

  velmora_dom_text_copy__deps: ['$VelmoraPage'],
  velmora_dom_text_copy: function(place, destination, length) {
    var e = VelmoraPage.element(place), points;
    if (!e) return 0;
    points = VelmoraPage.points(VelmoraPage.value(e));
    if (points.length !== length) return 0;
    HEAPU32.set(points, destination >> 2);
    return 1;
  },

  velmora_dom_set_sel_start__deps: ['$VelmoraPage'],
  velmora_dom_set_sel_start: function(place, codePoints) {
    var e = VelmoraPage.element(place), points, units = 0, i;
    if (!e || e.localName !== 'input') return 0;
    points = VelmoraPage.points(e.value);
    for (i = 0; i < codePoints && i < points.length; i++) units += points[i] > 0xFFFF ? 2 : 1;
    e.setSelectionRange(units, units);
    return 1;
  },

  velmora_dom_set_look__deps: ['$VelmoraPage'],
  velmora_dom_set_look: function(place, color, underline) {
    var e = VelmoraPage.element(place);
    if (!e) return 0;
    e.style.color = color < 0 ? '' : 'rgb(' + (color & 255) + ',' + ((color >> 8) & 255) + ',' + ((color >> 16) & 255) + ')';
    e.style.textDecoration = underline ? 'underline' : '';
    return 1;
  },

  velmora_dom_set_enabled__deps: ['$VelmoraPage'],
  velmora_dom_set_enabled: function(place, enabled) {
    var e = VelmoraPage.element(place);
    if (!e) return 0;
    e.disabled = !enabled;
    return 1;
  },

  velmora_dom_focus__deps: ['$VelmoraPage'],
  velmora_dom_focus: function(place) {
    var e = VelmoraPage.element(place);
    if (!e) return 0;
    e.focus();
    return 1;
  },

  velmora_dom_hide_focus_look__deps: ['$VelmoraPage'],
  velmora_dom_hide_focus_look: function(place) {
    var e = VelmoraPage.element(place);
    if (!e) return 0;
    e.classList.add('no-focus-look');
    return 1;
  },

  // Called inside the click that asked for it (the user's gesture), as the browser requires. The
  // browser's clipboard takes well-formed Unicode only: a lone surrogate would arrive as U+FFFD,
  // so such a text is refused rather than changed. Where the clipboard API is missing (a page
  // that is not a secure context, an older browser) or refuses, the copy command from a selected
  // field does it, still inside the gesture; where that fails too, the answer says why.
  velmora_dom_clipboard__deps: ['$VelmoraPage'],
  velmora_dom_clipboard: function(pointer, length) {
    return Asyncify.handleSleep(function(wakeUp) {
      var P = VelmoraPage, text = P.text(pointer, length), clipboard = window.isSecureContext && navigator.clipboard;
      var fallBack = function(reason) { wakeUp(P.copyFromField(text) ? 1 : reason); };
      if (text === null || /[\uD800-\uDFFF]/.test(text.replace(/[\uD800-\uDBFF][\uDC00-\uDFFF]/g, ''))) {
        wakeUp(0);
        return;
      }
      if (!clipboard || !clipboard.writeText) {
        fallBack(window.isSecureContext ? 4 : 2);
        return;
      }
      try {
        clipboard.writeText(text).then(function() { wakeUp(1); }, function() { fallBack(3); });
      } catch (e) {
        fallBack(3);
      }
    });
  },

  velmora_dom_copy_by_hand__deps: ['$VelmoraPage'],
  velmora_dom_copy_by_hand: function(pointer, length, title, titleLength, words, wordsLength) {
    return Asyncify.handleSleep(function(wakeUp) {
      var P = VelmoraPage, code = P.text(pointer, length), heading = P.text(title, titleLength);
      var text = P.text(words, wordsLength), field;
      if (code === null || heading === null || text === null) {
        wakeUp(0);
        return;
      }
      try {
        field = document.createElement('input');
        field.type = 'text';
        field.className = 'code';
        field.readOnly = true;
        field.value = code;
        field.setAttribute('aria-label', heading);
        field.addEventListener('focus', function() { field.select(); });
        field.addEventListener('keydown', function(event) {
          if (event.key === 'Enter') field.closest('dialog').close();
        });
        P.dialog(heading, text, 1, function() { wakeUp(1); }, field);
        field.select();
      } catch (e) {
        wakeUp(0);
      }
    });
  },

  velmora_dom_msgbox__deps: ['$VelmoraPage'],
  velmora_dom_msgbox: function(pointer, length, style, title, titleLength) {
    return Asyncify.handleSleep(function(wakeUp) {
      var P = VelmoraPage, text = P.text(pointer, length), heading = P.text(title, titleLength);
      if (text === null || heading === null) {
        wakeUp(0);
        return;
      }
      try {
        P.dialog(heading, text, style, function() { wakeUp(1); });
      } catch (e) {
        wakeUp(0);
      }
    });
  },

  velmora_dom_fatal__deps: ['$VelmoraPage'],
  velmora_dom_fatal: function(title, titleLength, pointer, length) {
    var P = VelmoraPage;
    try {
      P.stop(P.text(title, titleLength) || '', P.text(pointer, length) || '');
      return 1;
    } catch (e) {
      return 0;
    }
  },

  velmora_dom_open_link__deps: ['$VelmoraPage'],
  velmora_dom_open_link: function(pointer, length) {
    var target = VelmoraPage.text(pointer, length), url, a;
    try {
      url = new URL(target);
    } catch (e) {
      return 0;
    }
    if (url.protocol === 'mailto:') {
      a = document.createElement('a');
      a.href = url.href;
      a.click();
      return 1;
    }
    if (url.protocol !== 'http:' && url.protocol !== 'https:') return 0;
    window.open(url.href, '_blank', 'noopener');
    return 1;
  },

  velmora_dom_year: function() {
    return new Date().getFullYear();
  },
});
