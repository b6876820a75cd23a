#include "app/command_line.h"
#include "app/texts.h"

#include "app/failure_text.h"
#include "platform/given_path.h"
#include "platform/places.h"

#include <QString>

namespace nw::app {
namespace {

constexpr const char* kHelp =
    "用法：namewright [文件夹 | 文件 | file:// 地址]\n"
    "\n"
    "批量修改文件名：大小写和空格、自定义文本加编号、扩展名、去掉文字、文件名简繁互转。\n"
    "\n"
    "  文件夹        打开这个文件夹\n"
    "  文件          打开它所在的文件夹，并选中这个文件\n"
    "  file:// 地址  文件管理器给出的地址，同上\n"
    "  不给参数      打开用户的主文件夹\n"
    "\n"
    "选项：\n"
    "  -h, --help     显示本帮助并退出\n"
    "  -v, --version  显示版本并退出\n"
    "\n"
    "使用说明：man namewright\n";

// Qt's own options, which QApplication takes out of the arguments later; the
// first set takes a value.
bool isQtOption(std::string a, bool& takesValue) {
    if (a.rfind("--", 0) == 0)
        a.erase(0, 1);
    const auto eq = a.find('=');
    const bool inline_ = eq != std::string::npos;
    if (inline_)
        a.erase(eq);
    for (const char* o : {"-platform", "-platformpluginpath", "-platformtheme", "-plugin", "-style",
                          "-stylesheet", "-session", "-qwindowgeometry", "-qwindowicon",
                          "-qwindowtitle", "-display", "-name", "-title", "-visual"})
        if (a == o) {
            takesValue = !inline_;
            return true;
        }
    for (const char* o : {"-reverse", "-widgetcount", "-nograb", "-dograb", "-sync"})
        if (a == o) {
            takesValue = false;
            return true;
        }
    return false;
}

} // namespace

StartRequest readCommandLine(const std::vector<std::string>& args, const std::string& workingFolder,
                             std::FILE* out, std::FILE* err) {
    StartRequest r;
    bool optionsEnd = false, skipValue = false;
    for (const std::string& a : args) {
        if (skipValue) {
            skipValue = false;
            continue;
        }
        if (!optionsEnd && isQtOption(a, skipValue))
            continue;
        if (!optionsEnd && a == "--") {
            optionsEnd = true;
            continue;
        }
        if (!optionsEnd && (a == "-h" || a == "--help")) {
            std::fputs(zh(kHelp).toUtf8().constData(), out);
            return {false, 0, {}};
        }
        if (!optionsEnd && (a == "-v" || a == "--version")) {
            std::fprintf(out, "Namewright %s\n", NW_VERSION);
            return {false, 0, {}};
        }
        if (!optionsEnd && a.size() > 1 && a[0] == '-') {
            std::fprintf(err, "namewright：%s\n",
                         zh("不认识的选项“%1”。用法见 namewright --help")
                             .arg(QString::fromLocal8Bit(a.c_str()))
                             .toUtf8()
                             .constData());
            return {false, 2, {}};
        }
        // A file manager may give several: the first is opened, the others
        // are selected with it (see Form1). One of those that cannot be
        // opened is said on standard error and left.
        std::string path;
        const GivenError e = pathOfGiven(a, workingFolder, false, path);
        if (e == GivenError::Empty)
            continue;
        if (e != GivenError::None && !r.path.empty()) {
            std::fprintf(err, "namewright：%s\n", givenFailureText(e, a).toUtf8().constData());
            continue;
        }
        if (!r.path.empty()) {
            r.alsoGiven.push_back(path);
            continue;
        }
        if (e != GivenError::None) {
            std::fprintf(err, "namewright：%s\n", givenFailureText(e, a).toUtf8().constData());
            return {false, 2, {}};
        }
        r.path = path;
    }
    if (r.path.empty())
        r.path = homeFolder();
    return r;
}

} // namespace nw::app
