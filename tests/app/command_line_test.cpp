// What the program does with its command line: the options answered before
// any window, the folder, file or address opened, the home folder without one.
#include "app_test_support.h"

#include "app/command_line.h"
#include "app/user_messages.h"
#include "platform/places.h"

#include <cstdio>
#include <cstring>

namespace nw::app::test {

class CommandLineTest : public QObject {
    Q_OBJECT
private slots:
    void arguments_data();
    void arguments();
    void theWindowOpensWhatItIsGiven();
};

void CommandLineTest::arguments_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("run");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("path");    // opened; "~": the home folder
    QTest::addColumn<QString>("printed"); // on stdout, or on stderr when code != 0
    const QString cwd = QStringLiteral("/work/here");
    QTest::newRow("none") << QStringList() << true << 0 << "~"
                          << "";
    QTest::newRow("folder") << QStringList{"/srv/照片"} << true << 0 << "/srv/照片"
                            << "";
    QTest::newRow("relative") << QStringList{"sub/a.txt"} << true << 0 << cwd + "/sub/a.txt"
                              << "";
    QTest::newRow("url") << QStringList{"file:///srv/%E7%85%A7%E7%89%87/a%20b.txt"} << true << 0
                         << "/srv/照片/a b.txt"
                         << "";
    QTest::newRow("url of GBK bytes")
        << QStringList{"file:///srv/%D5%D5.txt"} << true << 0 << "/srv/\xD5\xD5.txt"
        << "";
    QTest::newRow("several: the first") << QStringList{"/a", "/b"} << true << 0 << "/a"
                                        << "";
    QTest::newRow("Qt's own option") << QStringList{"-style", "fusion", "/a"} << true << 0 << "/a"
                                     << "";
    QTest::newRow("a dash name after --") << QStringList{"--", "-x"} << true << 0 << cwd + "/-x"
                                          << "";
    QTest::newRow("help") << QStringList{"--help"} << false << 0 << ""
                          << "用法：namewright";
    QTest::newRow("-h") << QStringList{"-h", "/a"} << false << 0 << ""
                        << "显示本帮助";
    QTest::newRow("version") << QStringList{"--version"} << false << 0 << ""
                             << "Namewright " NW_VERSION;
    QTest::newRow("unknown option") << QStringList{"--frobnicate"} << false << 2 << ""
                                    << "不认识的选项“--frobnicate”";
    QTest::newRow("remote address") << QStringList{"smb://host/share"} << false << 2 << ""
                                    << "只能打开本机上的文件夹";
    QTest::newRow("file URL of this machine")
        << QStringList{"file://localhost/srv/a.txt"} << true << 0 << "/srv/a.txt"
        << "";
    QTest::newRow("file URL of another host") << QStringList{"file://nas/share"} << false << 2 << ""
                                              << "只能打开本机上的文件夹";
    QTest::newRow("a NUL in the URL") << QStringList{"file:///srv/a%00/b"} << false << 2 << ""
                                      << "含有空字符";
}

void CommandLineTest::arguments() {
    QFETCH(QStringList, args);
    QFETCH(bool, run);
    QFETCH(int, code);
    QFETCH(QString, path);
    QFETCH(QString, printed);
    std::vector<std::string> a;
    for (const QString& s : args) {
        const QByteArray b = s.toUtf8();
        a.emplace_back(b.constData(), std::size_t(b.size()));
    }
    char outBuf[4096] = {}, errBuf[4096] = {};
    std::FILE* out = fmemopen(outBuf, sizeof outBuf - 1, "w");
    std::FILE* err = fmemopen(errBuf, sizeof errBuf - 1, "w");
    const StartRequest r = readCommandLine(a, "/work/here", out, err);
    std::fclose(out);
    std::fclose(err);
    QCOMPARE(r.run, run);
    QCOMPARE(r.exitCode, code);
    const std::string want =
        path == QLatin1String("~") ? homeFolder() : std::string(path.toLatin1().constData());
    if (path.contains(QLatin1String("\xD5")))
        QCOMPARE(r.path, want);
    else
        QCOMPARE(QString::fromStdString(r.path),
                 path == QLatin1String("~") ? QString::fromStdString(homeFolder()) : path);
    const QString shown = QString::fromUtf8(code ? errBuf : outBuf);
    QVERIFY2(shown.contains(printed), qPrintable(shown));
    QVERIFY(QString::fromUtf8(code ? outBuf : errBuf).isEmpty());
}

// A folder opens; a file opens its folder with that file alone selected.
void CommandLineTest::theWindowOpensWhatItIsGiven() {
    TempFolder program, work;
    for (const char* n : {"a.txt", "b.txt", "照片.jpg"})
        file(work.path(), n);
    TestFileSystem fs;
    {
        Form1 form(fs, program.path(), work.path());
        QCOMPARE(QString::fromStdString(form.File1->Path()), QString::fromStdString(work.path()));
        QCOMPARE(form.File1->ListCount(), 3);
    }
    {
        Form1 form(fs, program.path(), work.path() + "/照片.jpg");
        QTRY_COMPARE(form.File1->ListCount(), 3);
        QCOMPARE(QString::fromStdString(form.File1->Path()), QString::fromStdString(work.path()));
        QTRY_VERIFY(form.File1->Selected(2));
        QVERIFY(!form.File1->Selected(0) && !form.File1->Selected(1));
    }
    // Several files from a file manager: those of one folder all selected;
    // one elsewhere named in a box.
    TempFolder other;
    file(other.path(), "c.txt");
    QStringList told;
    setMessageHook([&told](MessageKind, const QString& t) { told << t; });
    Form1 form(fs, program.path(), work.path() + "/照片.jpg", nullptr,
               {work.path() + "/a.txt", other.path() + "/c.txt"});
    setMessageHook(nullptr);
    QTRY_VERIFY(form.File1->Selected(2));
    QVERIFY(form.File1->Selected(0) && !form.File1->Selected(1));
    QCOMPARE(told.size(), 1);
    QVERIFY2(told[0].contains(QStringLiteral("没有打开")) &&
                 told[0].contains(QStringLiteral("c.txt")),
             qPrintable(told[0]));
}

NW_APP_TEST(CommandLineTest)

} // namespace nw::app::test

#include "command_line_test.moc"
