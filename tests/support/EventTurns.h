#pragma once
// Waiting for the event that would make something happen, so that a test can then show it did not.

#include <QString>

class LocalHttpServer;

namespace EventTurns {

// Runs the event loop until everything posted or timed to fire at once before this call has been handled
// (a zero timer of its own, queued behind them, has fired).
bool pendingHandled(int timeoutMs = 10000);

// Waits until a timer of `intervalMs`, started now, has fired `turns` times, then for what those turns
// queued. A repeating timer of the same interval that was already running has fired meanwhile, at least
// once and at least `turns` - 1 times (below 20 ms Qt's timers are precise, and fire in the order they
// fall due). For showing that something a poll would do has not been done.
bool intervalsPassed(int intervalMs, int turns = 3, int timeoutMs = 10000);

// Waits until `server` has handed `answers` answers to `path` over, then sends one more request through
// this thread's HTTP stack to the same server and waits for its end. An earlier answer on loopback reaches
// the network layer before the later one is complete, so whatever it would have caused has happened.
bool answerPassed(LocalHttpServer &server, const QString &path, int answers = 1, int timeoutMs = 10000);

} // namespace EventTurns
