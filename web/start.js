// The page's start, before the program: the window's frame is already on the page (index.html);
// this loads the program into it and, where loading or starting fails, says in the frame what
// happened and what the user can do, so the page is never blank. It also registers the service
// worker that keeps the site for use without the network. The texts come from app/Texts.h.
(function() {
  'use strict';
  var texts = {
    failed: "@kPageFailed@",
    scriptMissing: "@kPageScriptMissing@",
    wasmMissing: "@kPageWasmMissing@",
    wasmCorrupt: "@kPageWasmCorrupt@",
    network: "@kPageNetwork@",
    fromFile: "@kPageFromFile@",
    noWasm: "@kPageNoWasm@",
    refused: "@kPageWasmRefused@",
    mismatch: "@kPageMismatch@",
    startFailed: "@kPageStartFailed@",
  };
  var arrived = false;  // velmora.js ran and asked for its wasm
  var failed = false;

  // The start frame is still on the page: the program has not made its window.
  function starting() {
    return document.getElementById('velmora-start');
  }

  // The failure in the start frame, once: a heading, then what happened and what to do.
  function fail(text, detail) {
    var frame = starting(), client, head, words;
    if (failed || !frame) return;
    failed = true;
    client = frame.querySelector('.client');
    head = document.createElement('h1');
    head.textContent = texts.failed;
    words = document.createElement('p');
    words.textContent = text;
    client.className = 'client start failed';
    client.setAttribute('role', 'alert');
    client.replaceChildren(head, words);
    if (detail) {
      words = document.createElement('p');
      words.className = 'detail';
      words.textContent = String(detail);
      client.appendChild(words);
    }
  }

  // Whether this page may run WebAssembly at all: a host's Content-Security-Policy without
  // 'wasm-unsafe-eval' refuses even the smallest module (WebKit compiles it, then refuses the
  // instance). A promise.
  function compiles() {
    return WebAssembly.instantiate(new Uint8Array([0, 97, 115, 109, 1, 0, 0, 0])).then(function() {
      return true;
    }, function() {
      return false;
    });
  }

  // Fetches, checks and instantiates the program's wasm; rejects with the text that says why not.
  function instantiate(imports) {
    return fetch('velmora.wasm', {credentials: 'same-origin'}).then(function(response) {
      if (!response.ok) throw texts.wasmMissing;
      return response.arrayBuffer();
    }, function() {
      throw location.protocol === 'file:' ? texts.fromFile : texts.network;
    }).then(function(bytes) {
      var head = new Uint8Array(bytes, 0, Math.min(4, bytes.byteLength));
      if (head.length < 4 || head[0] !== 0 || head[1] !== 97 || head[2] !== 115 || head[3] !== 109) {
        throw texts.wasmCorrupt;
      }
      return WebAssembly.instantiate(bytes, imports).catch(function(e) {
        if (e instanceof WebAssembly.LinkError) throw texts.mismatch;
        return compiles().then(function(allowed) {
          throw {text: allowed ? texts.wasmCorrupt : texts.refused, detail: String(e)};
        });
      });
    });
  }

  if (typeof WebAssembly !== 'object' || typeof WebAssembly.instantiate !== 'function') {
    fail(texts.noWasm);
  }

  // The program's runtime (velmora.js) takes its settings from this object.
  window.Module = {
    instantiateWasm: function(imports, receive) {
      arrived = true;
      if (!failed) {
        instantiate(imports).then(function(result) {
          if (!failed) receive(result.instance, result.module);
        }, function(why) {
          if (typeof why === 'string') fail(why);
          else if (why && why.text) fail(why.text, why.detail);  // with the browser's own words
          else fail(texts.startFailed, why);
        });
      }
      return {};
    },
    // Until the window is up: a failure of the runtime ends here (the window has its own box).
    onAbort: function(what) {
      fail(texts.startFailed, what);
    },
    postRun: [function() {
      if (!document.querySelector('dialog')) fail(texts.startFailed);
    }],
  };
  window.addEventListener('error', function(event) {
    if (arrived) fail(texts.startFailed, event.message);
  });

  window.addEventListener('load', function() {
    if (!arrived) fail(texts.scriptMissing);
    // A returning visit asks for a new release at once. The browser checks the worker's script
    // against its HTTP cache, and a host that answers "not modified" by the file's date (the same
    // in a new release's zip) would hide the new one: the script is fetched afresh first, into
    // that cache, then the browser checks.
    if ('serviceWorker' in navigator && window.isSecureContext) {
      navigator.serviceWorker.register('sw.js').then(function(registration) {
        if (!registration.active) return;
        return fetch('sw.js', {cache: 'reload'}).then(function() { return registration.update(); });
      }).catch(function() {});
    }
  });
})();
