#pragma once
// Stands in for a parse that offers no point to stop at (gumbo on a pathological page): installed as the
// embedded engine's parser, it holds its worker until the test releases it, then parses for real.

#include "platform/page/PageEngine.h"

#include <QSemaphore>

#include <memory>

class BlockingParser {
public:
    BlockingParser() {
        setHtmlParserForTests([entered = m_entered, release = m_release](const QString &html, const QString &url) {
            entered->release();
            release->acquire();
            return parseHtmlDocument(html, url);
        });
    }
    ~BlockingParser() {
        setHtmlParserForTests({});
        m_release->release(1000); // a parse still held must not outlive the test
    }
    BlockingParser(const BlockingParser &) = delete;
    BlockingParser &operator=(const BlockingParser &) = delete;

    // True once a worker is inside the parse (poll it with QTRY_VERIFY: the load needs the event loop).
    bool entered() const { return m_entered->available() > 0; }
    void release() { m_release->release(); }

private:
    std::shared_ptr<QSemaphore> m_entered = std::make_shared<QSemaphore>();
    std::shared_ptr<QSemaphore> m_release = std::make_shared<QSemaphore>();
};
