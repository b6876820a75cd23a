#pragma once
// Drives coming and going, and the passes they held: mounts are watched
// while the window is open, and recovery puts right what a pass cut off left
// (at start-up, and whenever a drive comes back), telling the user.
#include <QObject>

#include "platform/file_system.h"

#include <functional>
#include <memory>

class QWidget;

namespace nw {
class MountWatcher;
} // namespace nw

namespace nw::app {

class DriveWatch : public QObject {
    Q_OBJECT
public:
    // window: where the messages go, and the watch's parent.
    DriveWatch(FileSystem& fs, QWidget* window);
    ~DriveWatch() override;

    // Finishes the passes that were cut off; atStart: also names the drives
    // that still hold one. True when a file was touched.
    bool recover(bool atStart);
    // Where recovery found passes cut off that had renamed files, the
    // report goes here rather than into a message: the user is offered to
    // undo them.
    void setInterruptedHandler(std::function<void(const RecoveryReport&)> handler) {
        m_interrupted = std::move(handler);
    }

signals:
    // A drive was mounted or unmounted.
    void mountsChanged();

private:
    FileSystem& m_fs;
    QWidget* m_window;
    std::unique_ptr<MountWatcher> m_watcher;
    std::function<void(const RecoveryReport&)> m_interrupted;
};

} // namespace nw::app
