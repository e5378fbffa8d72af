#pragma once
// How a worker thread reaches a widget: the call runs on the thread that owns `owner` (the main
// thread) and the worker waits until it has run, as a window message sent across threads would.
// Called on the owner's thread, it simply runs. The owner's thread must be serving events (a modal
// dialog's loop, or an event loop run while it waits) or the worker waits for ever.
#include <QMetaObject>
#include <QObject>
#include <QThread>

#include <utility>

template <class Call> void RunOnOwnerThread(QObject* owner, Call&& call) {
    if (QThread::currentThread() == owner->thread()) {
        call();
        return;
    }
    QMetaObject::invokeMethod(owner, std::forward<Call>(call), Qt::BlockingQueuedConnection);
}
