#pragma once
// Waiting for the event that would make something happen, so that a test can then show it did not.

#include <QString>

class LocalHttpServer;

namespace EventTurns {

// Runs the event loop until everything posted or timed to fire at once before this call has been handled
// (a zero timer of its own, queued behind them, has fired).
bool pendingHandled(int timeoutMs = 10000);

// Waits until `server` has handed `answers` answers to `path` over, then sends one more request through
// this thread's HTTP stack to the same server and waits for its end. An earlier answer on loopback reaches
// the network layer before the later one is complete, so whatever it would have caused has happened.
bool answerPassed(LocalHttpServer &server, const QString &path, int answers = 1, int timeoutMs = 10000);

} // namespace EventTurns
