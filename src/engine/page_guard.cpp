#include "engine/page_guard.h"

#include <QJsonDocument>
#include <QJsonValue>
#include <QUuid>

namespace tarn {
namespace {

// `source` is this function's own text, run again inside each new frame's realm; `marker` a
// name no page can guess, set on each window the guard has run in.
constexpr char kGuard[] = R"js(function (source, marker) {
  'use strict';
  const win = window;
  const apply = Reflect.apply;
  const hasOwn = Object.prototype.hasOwnProperty;
  const describe = Object.getOwnPropertyDescriptor;
  const define = Object.defineProperty;
  if (apply(hasOwn, win, [marker])) return;
  define(win, marker, {value: true});

  for (const name of ['RTCPeerConnection', 'webkitRTCPeerConnection', 'RTCIceTransport',
                      'RTCQuicTransport', 'WebTransport']) {
    try { delete win[name]; } catch (e) {}
  }

  const seen = new WeakSet();
  const seenHas = WeakSet.prototype.has;
  const seenAdd = WeakSet.prototype.add;
  const protect = (child) => {
    if (!child || child === win || apply(seenHas, seen, [child])) return;
    apply(seenAdd, seen, [child]);
    try {
      if (apply(hasOwn, child, [marker])) return;
      child.Function('source', 'marker', '(' + source + ')(source, marker)')(source, marker);
    } catch (e) {
      // A window of another origin: the pages there run this guard themselves.
    }
  };
  const lengthOf = (describe(win, 'length') || {}).get;
  const protectFrames = () => {
    const count = lengthOf ? apply(lengthOf, win, []) : 0;
    for (let i = 0; i < count; i++) protect(win[i]);
  };

  // A frame without an address loads at once, as it is inserted, before any later script.
  const doc = win.document;
  const addListener = EventTarget.prototype.addEventListener;
  const arm = () => apply(addListener, doc, ['load', protectFrames, true]);
  arm();
  // Frames the parser makes, before the next script of the page runs.
  new win.MutationObserver(protectFrames).observe(doc, {childList: true, subtree: true});

  const wrap = (proto, name, make) => {
    const d = proto && describe(proto, name);
    if (!d) return;
    if (typeof d.value === 'function') d.value = make(d.value);
    else if (d.set) d.set = make(d.set);
    else return;
    define(proto, name, d);
  };
  const thenProtect = (original) => function (...args) {
    try { return apply(original, this, args); } finally { protectFrames(); }
  };
  const inserting = [
    [win.Node, ['appendChild', 'insertBefore', 'replaceChild']],
    [win.Element, ['append', 'prepend', 'before', 'after', 'replaceWith', 'replaceChildren',
                   'insertAdjacentElement', 'insertAdjacentHTML', 'innerHTML', 'outerHTML']],
    [win.CharacterData, ['before', 'after', 'replaceWith']],
    [win.DocumentType, ['before', 'after', 'replaceWith']],
    [win.Document, ['append', 'prepend', 'replaceChildren']],
    [win.DocumentFragment, ['append', 'prepend', 'replaceChildren']],
    [win.ShadowRoot, ['innerHTML']],
    [win.Range, ['insertNode', 'surroundContents']],
  ];
  for (const [type, names] of inserting) {
    for (const name of names) wrap(type && type.prototype, name, thenProtect);
  }

  // Opening a document drops its listeners; writing to a loaded one opens it first.
  const open = win.Document.prototype.open;
  const readyStateOf = describe(win.Document.prototype, 'readyState').get;
  wrap(win.Document.prototype, 'open', (original) => function (...args) {
    try { return apply(original, this, args); } finally { if (this === doc) arm(); protectFrames(); }
  });
  for (const name of ['write', 'writeln']) {
    wrap(win.Document.prototype, name, (original) => function (...args) {
      if (this === doc && apply(readyStateOf, doc, []) === 'complete') {
        apply(open, doc, []);
        arm();
      }
      try { return apply(original, this, args); } finally { protectFrames(); }
    });
  }

  // The ways a page asks for a frame's window or document.
  const givingWindow = (original) => function (...args) {
    const child = apply(original, this, args);
    protect(child);
    return child;
  };
  const defaultViewOf = describe(win.Document.prototype, 'defaultView').get;
  const givingDocument = (original) => function (...args) {
    const child = apply(original, this, args);
    if (child) protect(apply(defaultViewOf, child, []));
    return child;
  };
  const getter = (type, name, make) => {
    const d = type && describe(type.prototype, name);
    if (d && d.get) {
      d.get = make(d.get);
      define(type.prototype, name, d);
    }
  };
  for (const type of [win.HTMLIFrameElement, win.HTMLFrameElement, win.HTMLObjectElement]) {
    getter(type, 'contentWindow', givingWindow);
    getter(type, 'contentDocument', givingDocument);
  }
  for (const type of [win.HTMLIFrameElement, win.HTMLObjectElement, win.HTMLEmbedElement]) {
    wrap(type && type.prototype, 'getSVGDocument', givingDocument);
  }
  wrap(win, 'open', givingWindow);
})js";

}  // namespace

QWebEngineScript pageGuardScript() {
    const QString source = QString::fromUtf8(kGuard);
    const QString marker = QStringLiteral("tarnGuard") + QUuid::createUuid().toString(QUuid::Id128);
    const auto quoted = [](const QString& text) {
        return QString::fromUtf8(
                   QJsonDocument::fromVariant(QVariantList{text}).toJson(QJsonDocument::Compact))
            .mid(1)
            .chopped(1);
    };
    QWebEngineScript script;
    script.setName(QStringLiteral("tarnview-page-guard"));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setRunsOnSubFrames(true);
    script.setSourceCode(QLatin1Char('(') + source + QStringLiteral(")(") + quoted(source) +
                         QStringLiteral(", ") + quoted(marker) + QStringLiteral(");"));
    return script;
}

}  // namespace tarn
