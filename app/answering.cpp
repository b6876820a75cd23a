#include "app/answering.h"

#include <QEventLoop>

#include <atomic>
#include <thread>

namespace nw::app {

namespace {
// Global, as the UI thread is: a pass started from any control must see a
// listing that any other object left running in a nested loop.
int g_underWay = 0;
} // namespace

bool workUnderWay() { return g_underWay > 0; }

void runAnswering(const std::function<void()>& work) {
    ++g_underWay;
    QEventLoop loop;
    std::atomic<bool> done{false};
    // The worker wakes the loop the moment it is done. The call is queued to
    // the loop's own thread and dropped with the loop if the loop is gone by
    // then (the work ended before the loop began).
    std::thread worker([&] {
        work();
        done = true;
        QMetaObject::invokeMethod(
            &loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
    });
    if (!done)
        loop.exec();
    worker.join();
    --g_underWay;
}

} // namespace nw::app
