#pragma once
// Hands a value to the thread pool to be destroyed there. What a long list leaves behind (a hundred
// thousand functions or findings) takes tens of milliseconds to free, which the user-interface thread
// should not spend. Only for values another thread may destroy: plain data and Qt's shared containers.

#include <QThreadPool>

#include <utility>

template <typename T>
void freeOnPool(T &&value) {
    QThreadPool::globalInstance()->start([gone = std::forward<T>(value)] {});
}
