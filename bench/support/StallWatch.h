#pragma once
// The longest the calling thread's event loop went without running a timer of `intervalMs`: how long the
// user-interface thread was held up while work ran. It watches from its construction; longestMs() also
// counts the gap still open.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <algorithm>

class StallWatch {
public:
    explicit StallWatch(int intervalMs) {
        m_tick.setInterval(intervalMs);
        QObject::connect(&m_tick, &QTimer::timeout, [this] { note(); });
        m_gap.start();
        m_tick.start();
    }

    double longestMs() {
        note();
        return m_longest;
    }

private:
    void note() {
        m_longest = std::max(m_longest, m_gap.nsecsElapsed() / 1e6);
        m_gap.restart();
    }

    QTimer m_tick;
    QElapsedTimer m_gap;
    double m_longest = 0;
};
