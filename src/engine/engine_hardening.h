#pragma once

#include <string>

namespace tarn {

// Starts the engine supervised whatever the command line or the environment asks. Call it
// before the QApplication is created: it removes the switches that would open the engine to a
// debugger or undo the switches below from argv (updating argc) and from
// QTWEBENGINE_CHROMIUM_FLAGS, unsets QTWEBENGINE_REMOTE_DEBUGGING, and adds to
// QTWEBENGINE_CHROMIUM_FLAGS the switches that take from pages what opens connections the
// request check never sees (WebTransport, QUIC, WebRTC over UDP, direct sockets and devices).
// It also starts the connection gate and sends every connection of the engine through it.
void hardenEngineStartup(int& argc, char** argv);

class ConnectionGate;
// The gate hardenEngineStartup started; nothing before it, or when the machine's proxy can not
// be used (the engine then reaches nothing).
ConnectionGate* engineConnectionGate();

// True for a switch hardenEngineStartup removes, with one or two leading dashes and with or
// without "=value".
bool isRefusedSwitch(const std::string& argument);

}  // namespace tarn
