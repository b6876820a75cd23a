// The start-up baseline: a Qt Widgets program that shows an empty window and
// ends once it has painted, the same way the timed program does.
#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace {

class EmptyWindow : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override {
        if (!m_done) {
            m_done = true;
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
    }

private:
    bool m_done = false;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    EmptyWindow w;
    w.resize(718, 404);
    w.show();
    return app.exec();
}
