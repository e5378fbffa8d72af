#pragma once
// How a worker thread reaches a widget: the call runs on the thread that owns `owner` (the main
// thread), either waited for (RunOnOwnerThread, as a window message sent across threads) or posted
// (PostToOwnerThread, as a window message posted).
#include <QMetaObject>
#include <QObject>
#include <QThread>

#include <utility>

// The worker waits until the call has run. Called on the owner's thread, it simply runs. The
// owner's thread must be serving events (a modal dialog's loop, or an event loop run while it
// waits) or the worker waits for ever.
template <class Call> void RunOnOwnerThread(QObject* owner, Call&& call) {
    if (QThread::currentThread() == owner->thread()) {
        call();
        return;
    }
    QMetaObject::invokeMethod(owner, std::forward<Call>(call), Qt::BlockingQueuedConnection);
}

// The call runs when the owner's thread comes to it; the caller never waits, so it may be about to
// be joined by that thread. Dropped when the owner goes first.
template <class Call> void PostToOwnerThread(QObject* owner, Call&& call) {
    QMetaObject::invokeMethod(owner, std::forward<Call>(call), Qt::QueuedConnection);
}
