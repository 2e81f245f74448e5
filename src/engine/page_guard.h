#pragma once

#include <QWebEngineScript>

namespace tarn {

// Runs in every frame of every page as its document is created, before the page's own scripts.
// It takes away what opens connections the request check never sees: WebRTC peer connections
// (STUN and TURN to any host, and peers reached directly), which the engine has no switch for.
// Taken from a page alone they would still be reachable through a new frame's window, so each
// same-origin frame the page makes is given the same treatment before the page gets its window:
// when it loads, when the page inserts anything, and when it asks for the frame's window or
// document.
QWebEngineScript pageGuardScript();

}  // namespace tarn
