#include "app/appearance.h"
#include "app/form1.h"
#include "platform/posix_file_system.h"
#include "platform/program_folder.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>

#include <cstdlib>

namespace {

// With NAMEWRIGHT_QUIT_WHEN_SHOWN set, the program ends once the window has
// painted for the first time; the start-up benchmark times that.
class QuitWhenPainted : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !m_done) {
            m_done = true;
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_done = false;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    nw::app::applyAppearance(app);
    nw::PosixFileSystem fs;
    nw::app::Form1 form(fs, nw::programFolder());
    QuitWhenPainted quit;
    if (std::getenv("NAMEWRIGHT_QUIT_WHEN_SHOWN"))
        form.installEventFilter(&quit);
    form.show();
    return app.exec();
}
