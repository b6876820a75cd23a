#include "app_test_support.h"

#include "app/appearance.h"

#include <QApplication>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    nw::app::applyAppearance(app);
    int failed = 0;
    for (const auto& make : nw::app::test::registry()) {
        std::unique_ptr<QObject> t(make());
        failed += QTest::qExec(t.get(), argc, argv);
    }
    return failed == 0 ? 0 : 1;
}
