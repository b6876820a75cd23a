#pragma once
// Drive1: the mounted file systems a user browses. The drive's text is the
// mount point.
#include "platform/file_system.h"

#include <QComboBox>

namespace nw::app {

class DriveList : public QComboBox {
    Q_OBJECT
public:
    DriveList(FileSystem& fs, QWidget* parent = nullptr);

    std::string Drive() const;
    // Picks the mount that holds path; true when that changed the drive.
    bool setDrive(const std::string& path);
    // The mounts as they are now; the chosen drive stays chosen while it is
    // still mounted. False when it is gone (then "/" is chosen).
    bool setMounts(std::vector<std::string> mounts);
    const std::vector<std::string>& mounts() const { return m_mounts; }

signals:
    // The user chose a different drive.
    void driveChanged();

private:
    std::vector<std::string> m_mounts;
    int m_last = -1;
};

} // namespace nw::app
