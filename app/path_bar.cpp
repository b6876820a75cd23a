#include "app/path_bar.h"
#include "app/texts.h"

#include "app/qt_text.h"
#include "app/twips.h"
#include "app/widgets.h"
#include "core/text.h"
#include "platform/given_path.h"

#include <QEvent>
#include <QLineEdit>
#include <QPushButton>

namespace nw::app {

PathBar::PathBar(FileSystem& fs, QWidget* parent)
    : QGroupBox(zh("快速转到要修改文件名的路径"), parent), m_fs(fs) {
    setObjectName(QStringLiteral("Frame12"));
    txtPath = named(new QLineEdit(this), "txtPath");
    txtPath->setAccessibleName(zh("要转到的路径"));
    place(txtPath, 120, 240, 9375, 320);
    txtPath->installEventFilter(this); // a double click selects the whole path
    // A drop on the box goes to the window, which goes to what was dropped,
    // rather than pasting its address.
    txtPath->setAcceptDrops(false);
    cmdGoPath = named(new QPushButton(zh("转到"), this), "cmdGoPath");
    place(cmdGoPath, 9600, 240, 735, 375);
    connect(cmdGoPath, &QPushButton::clicked, this, &PathBar::goRequested);
    connect(txtPath, &QLineEdit::returnPressed, this, &PathBar::goRequested);
}

void PathBar::showFolder(const std::string& folder) {
    m_shown = folder;
    txtPath->setText(bytesToQt(folder));
}

std::string PathBar::given(const std::string& base) const {
    return bytesOfTyped(TrimSpaces(toU32(txtPath->text())), m_shown, toU32(bytesToQt(m_shown)),
                        base, m_fs);
}

void PathBar::selectAll() { txtPath->setSelection(0, int(txtPath->text().size())); }

bool PathBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtPath && event->type() == QEvent::MouseButtonDblClick) {
        selectAll();
        return true;
    }
    return QGroupBox::eventFilter(watched, event);
}

} // namespace nw::app
