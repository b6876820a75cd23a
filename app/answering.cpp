#include "app/answering.h"

#include <QEventLoop>
#include <QTimer>

#include <atomic>
#include <thread>

namespace nw::app {

namespace {
int g_underWay = 0; // the UI thread's own count
} // namespace

bool workUnderWay() { return g_underWay > 0; }

void runAnswering(const std::function<void()>& work) {
    ++g_underWay;
    // How often the loop looks whether the work is done: short enough that
    // nobody waits for the look, long enough to cost nothing.
    constexpr int kPollMs = 5;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        work();
        done = true;
    });
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(kPollMs);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done)
            loop.quit();
    });
    poll.start();
    if (!done)
        loop.exec();
    worker.join();
    --g_underWay;
}

} // namespace nw::app
