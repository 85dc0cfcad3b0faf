#pragma once
// How much memory the browser engine's processes of one page hold: its renderer and the network service
// that buffers what the page loads. Read from /proc; a process that is gone counts 0.

#include <QtGlobal>

namespace BrowserMemory {

// Resident bytes of process `pid`; 0 when it cannot be read.
qint64 residentBytes(qint64 pid);

// The engine's network service: a child process of this one; 0 when there is none (it runs inside
// this process or has not started).
qint64 networkServicePid();

} // namespace BrowserMemory
