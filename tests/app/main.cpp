#include "app_test_support.h"

#include "app/appearance.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    // --list-classes: the test classes, one per line, for one ctest entry each.
    if (argc == 2 && std::strcmp(argv[1], "--list-classes") == 0) {
        for (const auto& make : nw::app::test::registry()) {
            const std::unique_ptr<QObject> t(make());
            const QByteArray name = t->metaObject()->className();
            std::printf("%s\n", name.mid(name.lastIndexOf(':') + 1).constData());
        }
        return 0;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Journals and the history in a state folder of this run's own, never
    // the user's: each window a test builds starts with an empty history.
    const nw::test::TempFolder state;
    qputenv("XDG_STATE_HOME", QByteArray::fromStdString(state.path()));
    // The same for what the window keeps between runs.
    const nw::test::TempFolder config;
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config.path()));
    QApplication app(argc, argv);
    nw::app::applyAppearance(app);
    // NW_TEST_CLASS=LegacyNamesTest runs one class alone.
    const QByteArray only = qgetenv("NW_TEST_CLASS");
    int failed = 0;
    for (const auto& make : nw::app::test::registry()) {
        std::unique_ptr<QObject> t(make());
        const QByteArray name = t->metaObject()->className();
        if (!only.isEmpty() && !name.endsWith("::" + only))
            continue;
        failed += QTest::qExec(t.get(), argc, argv);
    }
    return failed == 0 ? 0 : 1;
}
