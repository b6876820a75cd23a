#pragma once
// Builds the real window over real temporary folders, catches its messages,
// and finds controls by name.
#include "app/file_list_box.h"
#include "app/form1.h"
#include "platform/posix_file_system.h"
#include "tests/support/folder_snapshot.h"

#include <QObject>
#include <QStringList>
#include <QTest>

#include <functional>
#include <memory>

namespace nw::app::test {

using nw::test::Snapshot;
using nw::test::TempFolder;

// The real file system, with extra mounts for tests that need two.
class TestFileSystem : public PosixFileSystem {
public:
    std::vector<std::string> extraMounts;
    std::vector<std::string> mounts() override {
        auto m = PosixFileSystem::mounts();
        m.insert(m.end(), extraMounts.begin(), extraMounts.end());
        return m;
    }
    // Where set, called before each folder is read (on the reading's thread).
    std::function<void()> beforeReading;
    FsStatus readFolder(const std::string& folder, std::vector<RawEntry>& out) override {
        if (beforeReading)
            beforeReading();
        return PosixFileSystem::readFolder(folder, out);
    }
};

struct Harness {
    explicit Harness(bool withTable = false, std::vector<std::string> extraMounts = {});
    ~Harness();

    template <typename T> T* find(const QString& name) const {
        T* w = form->findChild<T*>(name);
        if (!w)
            qFatal("no control %s", qPrintable(name));
        return w;
    }
    FileListBox& list() const { return *form->File1; }
    QStringList names() const; // the list's entries, in order
    // Types the folder into txtPath and clicks "转到".
    void open(const std::string& folder);
    void select(const QStringList& entries);
    void click(const QString& button);
    QString takeMessages(); // joined by "|", then cleared

    TempFolder program;
    TempFolder work;
    TestFileSystem fs;
    std::unique_ptr<Form1> form;
    QStringList messages;
};

void file(const std::string& folder, const std::string& name, const std::string& content = {});

// Test classes register themselves; main runs them all.
std::vector<std::function<QObject*()>>& registry();
template <typename T> struct Register {
    Register() {
        registry().push_back([] { return new T; });
    }
};

} // namespace nw::app::test

#define NW_APP_TEST(Class) static nw::app::test::Register<Class> register_##Class;
