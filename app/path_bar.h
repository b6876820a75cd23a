#pragma once
// "快速转到要修改文件名的路径": the box shows the folder shown, as text; what
// the user types there (a path, "~/...", a file:// address) is asked for by
// Enter or "转到", as the bytes it stands for. What the user left of the
// shown folder keeps that folder's bytes, whatever its code page.
#include <QGroupBox>

#include <string>

class QLineEdit;
class QPushButton;

namespace nw {
class FileSystem;
}

namespace nw::app {

class PathBar : public QGroupBox {
    Q_OBJECT
public:
    PathBar(FileSystem& fs, QWidget* parent);

    // Shows a folder, given as bytes.
    void showFolder(const std::string& folder);
    // What the box holds, as the bytes of a path (see bytesOfTyped); a
    // relative path is taken from base.
    std::string given(const std::string& base) const;
    // Selects the whole path, as a double click does.
    void selectAll();

    QLineEdit* txtPath = nullptr;
    QPushButton* cmdGoPath = nullptr;

signals:
    // Enter in the box, or "转到".
    void goRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    FileSystem& m_fs;
    std::string m_shown; // the folder the box shows, as bytes
};

} // namespace nw::app
