#include "app_test_support.h"

#include "app/remembered.h"
#include "app/user_messages.h"
#include "platform/history.h"

#include <QAbstractButton>
#include <QLineEdit>

#include <filesystem>
#include <fstream>

namespace nw::app::test {

std::vector<std::function<QObject*()>>& registry() {
    static std::vector<std::function<QObject*()>> r;
    return r;
}

void file(const std::string& folder, const std::string& name, const std::string& content) {
    nw::test::writeFile(folder, name, content.empty() ? name : content);
}

Harness::Harness(bool withTable, std::vector<std::string> extraMounts) {
    fs.extraMounts = std::move(extraMounts);
    if (withTable) {
        std::ifstream in(NW_SHIPPED_TABLE, std::ios::binary);
        std::ofstream out(program.path() + "/F2J.txt", std::ios::binary);
        out << in.rdbuf();
    }
    // Every window starts with the history of its own test only (the state
    // folder is the test run's own: see main.cpp).
    std::filesystem::remove_all(historyFolder());
    std::filesystem::remove(rememberedFile().toStdString());
    setMessageHook([this](MessageKind, const QString& text) { messages << text; });
    form = std::make_unique<Form1>(fs, program.path());
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get()))
        qWarning("window not exposed");
    open(work.path());
}

Harness::~Harness() {
    form.reset();
    setMessageHook(nullptr);
}

QStringList Harness::names() const {
    QStringList out;
    for (int i = 0; i < list().ListCount(); ++i)
        out << list().model()->index(i, 0).data().toString();
    return out;
}

void Harness::open(const std::string& folder) {
    auto* path = find<QLineEdit>("txtPath");
    path->setText(QString::fromStdString(folder));
    click("cmdGoPath");
}

void Harness::select(const QStringList& entries) {
    list().clearAllEntries();
    const QStringList all = names();
    for (const QString& e : entries) {
        const int i = int(all.indexOf(e));
        if (i < 0)
            qFatal("no entry %s", qPrintable(e));
        list().setSelected(i, true);
    }
}

void Harness::click(const QString& button) {
    QTest::mouseClick(find<QAbstractButton>(button), Qt::LeftButton);
}

QString Harness::takeMessages() {
    const QString all = messages.join(QLatin1Char('|'));
    messages.clear();
    return all;
}

} // namespace nw::app::test
