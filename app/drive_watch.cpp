#include "app/drive_watch.h"

#include "app/failure_text.h"
#include "app/user_messages.h"
#include "platform/file_system.h"
#include "platform/mounts.h"

#include <QSocketNotifier>
#include <QWidget>

namespace nw::app {

DriveWatch::DriveWatch(FileSystem& fs, QWidget* window)
    : QObject(window), m_fs(fs), m_window(window), m_watcher(std::make_unique<MountWatcher>()) {
    if (m_watcher->fd() < 0)
        return;
    auto* notifier = new QSocketNotifier(m_watcher->fd(), QSocketNotifier::Exception, this);
    connect(notifier, &QSocketNotifier::activated, this, [this] {
        m_watcher->consume();
        emit mountsChanged();
    });
}

DriveWatch::~DriveWatch() = default;

bool DriveWatch::recover(bool atStart) {
    const RecoveryReport r = m_fs.recoverInterruptedPasses();
    if (!r.interrupted.empty() && m_interrupted)
        m_interrupted(r);
    else if (!r.empty() || (atStart && !r.waiting.empty()))
        showMessage(m_window,
                    r.unresolved.empty() && r.setAside.empty() ? MessageKind::Information
                                                               : MessageKind::Warning,
                    recoveryText(r));
    return !r.empty();
}

} // namespace nw::app
