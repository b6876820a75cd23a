// Namewright as main starts it, ending once its window has painted for the
// first time: what the start-up benchmark times.
#include "app/program.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace {

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
    QuitWhenPainted quit;
    return nw::app::runNamewright(argc, argv, [&](QWidget& w) { w.installEventFilter(&quit); });
}
