#include "app/drive_list.h"

#include "app/qt_text.h"
#include "platform/mounts.h"
#include "platform/places.h"

namespace nw::app {

DriveList::DriveList(FileSystem& fs, QWidget* parent) : QComboBox(parent) {
    m_mounts = fs.mounts();
    for (const auto& m : m_mounts)
        addItem(bytesToQt(m));
    setDrive(workingFolder());
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (index != m_last) {
            m_last = index;
            emit driveChanged();
        }
    });
}

bool DriveList::setMounts(std::vector<std::string> mounts) {
    if (mounts == m_mounts)
        return true;
    const std::string current = Drive();
    m_mounts = std::move(mounts);
    clear();
    for (const auto& m : m_mounts)
        addItem(bytesToQt(m));
    const auto it = std::find(m_mounts.begin(), m_mounts.end(), current);
    m_last = it == m_mounts.end() ? 0 : static_cast<int>(it - m_mounts.begin());
    setCurrentIndex(m_last);
    return it != m_mounts.end();
}

std::string DriveList::Drive() const {
    const int i = currentIndex();
    return i >= 0 && static_cast<std::size_t>(i) < m_mounts.size()
               ? m_mounts[static_cast<std::size_t>(i)]
               : std::string("/");
}

bool DriveList::setDrive(const std::string& path) {
    const std::string m = mountHolding(m_mounts, path);
    const auto it = std::find(m_mounts.begin(), m_mounts.end(), m);
    const int index = it == m_mounts.end() ? 0 : static_cast<int>(it - m_mounts.begin());
    if (index == m_last)
        return false;
    m_last = index;
    setCurrentIndex(index);
    return true;
}

} // namespace nw::app
