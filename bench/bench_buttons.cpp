// Every apply button through the real window against a plain renameat2 loop
// over the same names, the progress dialog, undo, and Debian's rename (Perl)
// as a peer.
#include "bench/bench.h"

namespace nw::bench {
namespace {

struct ButtonCase {
    const char* button;
    int page;
    std::function<std::string(int)> name;                          // the files' names before
    std::function<void(nw::app::Form1&)> setUp;                    // the page's settings
    std::function<std::u32string(const std::u32string&)> expected; // in list order
    std::string label = button;                                    // as the table shows it
    const char* goal = "<= 1.5";
};

// The names of one group of tests/data/chinese_names.txt (names from real
// text) that the converter changes, each numbered before its extension.
std::function<std::string(int)> realNames(const std::string& group,
                                          const nw::PhraseConverter& converter) {
    std::ifstream in(NW_BENCH_NAMES);
    std::vector<std::pair<std::string, std::string>> stems; // before the extension, the rest
    std::string current;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        if (line[0] == '[') {
            current = line.substr(1, line.size() - 2);
            continue;
        }
        if (current != group || converter.convert(nw::decodeName(line)) == nw::decodeName(line))
            continue;
        const std::size_t dot = line.rfind('.');
        const std::size_t cut = dot == std::string::npos || dot == 0 ? line.size() : dot;
        stems.emplace_back(line.substr(0, cut), line.substr(cut));
    }
    return [stems](int i) {
        const auto& [stem, ext] = stems[std::size_t(i) % stems.size()];
        return stem + " " + std::to_string(i) + ext;
    };
}

// The standards of cboStandard by index, as the page lists them.
void chooseStandard(nw::app::Form1& f, int index) {
    control<QComboBox>(f, "cboStandard")->setCurrentIndex(index);
}

} // namespace

// Times each apply button through the real window and checks that the folder
// then holds exactly the names the tool gives.
bool benchButtons(nw::FileSystem& fs, int renames, const std::string& tableFile) {
    using nw::app::Form1;
    const Folder programFolder = programFolderWithTable(tableFile);
    const std::string& program = programFolder->path();
    QStringList messages;
    nw::app::setMessageHook([&](nw::app::MessageKind, const QString& t) { messages << t; });
    Form1 form(fs, program);
    form.show();
    QApplication::processEvents();

    auto photo = [](int i) { return "Photo " + std::to_string(i) + ".jpg"; };
    nw::RunningNumber counter;
    std::string folder;
    std::vector<ButtonCase> cases{
        {"Command1", 0, photo,
         [](Form1& f) {
             control<QRadioButton>(f, "Option1(0)")->setChecked(true);
             control<QRadioButton>(f, "Option2(1)")->setChecked(true);
             control<QCheckBox>(f, "Check2(0)")->setChecked(true);
             control<QCheckBox>(f, "Check2(1)")->setChecked(true);
         },
         [](const std::u32string& n) {
             return nw::ConvertName(
                 n, {nw::CaseMode::Upper, true, true, nw::SpaceMode::SpaceToUnderscore});
         }},
        {"Command2", 1, photo,
         [&](Form1& f) {
             control<QLineEdit>(f, "Text1")->setText(QStringLiteral("Img"));
             control<QLineEdit>(f, "txtStep")->setText(QStringLiteral("1"));
             control<QRadioButton>(f, "Option3(0)")->setChecked(true);
             control<QLineEdit>(f, "txtWidth")->clear();
             counter = {};
         },
         [&](const std::u32string& n) {
             return *nw::BuildCustomName(
                         n, {U"Img", U"1", nw::TextPlacement::ReplacePrefix, {}, {}}, counter)
                         .name;
         }},
        {"Command2", 1, photo,
         [&](Form1& f) {
             control<QLineEdit>(f, "Text1")->setText(QStringLiteral("Img"));
             control<QLineEdit>(f, "txtStep")->setText(QStringLiteral("1"));
             control<QRadioButton>(f, "Option3(0)")->setChecked(true);
             control<QLineEdit>(f, "txtWidth")->setText(QStringLiteral("3"));
             counter = {};
         },
         [&](const std::u32string& n) {
             return *nw::BuildCustomName(
                         n, {U"Img", U"1", nw::TextPlacement::ReplacePrefix, {}, U"3"}, counter)
                         .name;
         },
         "Command2 位数 3"},
        {"cmdChangeExt", 2, photo,
         [](Form1& f) { control<QLineEdit>(f, "txtNewExt")->setText(QStringLiteral("png")); },
         [&](const std::u32string& n) {
             const std::u32string dir = nw::decodeName(folder) + U"/";
             return nw::ChangeFileExt(dir + n, U"png").substr(dir.size());
         }},
        {"cmdRemoveStr", 2, photo,
         [](Form1& f) { control<QLineEdit>(f, "txtRemoveStr")->setText(QStringLiteral("Photo ")); },
         [](const std::u32string& n) { return *nw::RemoveFirst(n, U"Photo "); }},
        {"cmdF2J", 2, [](int i) { return "中國發展報告 " + std::to_string(i) + ".txt"; },
         [](Form1& f) { chooseStandard(f, 4); },
         [&](const std::u32string& n) { return nw::StrF2J(form.table(), n); }, "cmdF2J table"},
        {"cmdJ2F", 2, [](int i) { return "中国发展报告 " + std::to_string(i) + ".txt"; },
         [](Form1& f) { chooseStandard(f, 4); },
         [&](const std::u32string& n) { return nw::StrJ2F(form.table(), n); }, "cmdJ2F table"},
    };
    // Find and replace, a regular expression with a group; the names expected
    // are made by the core function with a pattern compiled here.
    {
        auto compiled = nw::NameRegex::compile(U"Photo (\\d+)", true);
        const auto regex = std::get<std::shared_ptr<const nw::NameRegex>>(compiled);
        ButtonCase c{
            "cmdReplace", 3, photo,
            [](Form1& f) {
                control<QLineEdit>(f, "txtFind")->setText(QStringLiteral("Photo (\\d+)"));
                control<QLineEdit>(f, "txtReplace")->setText(QStringLiteral("Img_$1"));
                control<QCheckBox>(f, "chkMatchCase")->setChecked(true);
                control<QCheckBox>(f, "chkRegex")->setChecked(true);
            },
            [regex](const std::u32string& n) {
                nw::FindReplaceSettings s{U"Photo (\\d+)", U"Img_$1", true, true, true, true, true};
                return nw::ReplaceInName(n, s, nw::regexReplace(regex, U"Img_$1", true)).name;
            }};
        cases.push_back(c);
    }
    // Each OpenCC standard both ways; the result expected is the converter's
    // own (its answers are tested against the opencc command elsewhere).
    const auto& standards = nw::app::OtherPage::standards();
    for (int s = 0; s < 4; ++s)
        for (bool toSimplified : {false, true}) {
            const auto& st = standards[std::size_t(s)];
            const char* config = toSimplified ? st.toSimplified : st.toTraditional;
            nw::PhraseLoadError error;
            const auto converter = form.phraseConverters().get(
                config,
                toSimplified ? nw::ChineseScript::Simplified : nw::ChineseScript::Traditional,
                error, st.vocabulary && !toSimplified ? st.toSimplified : "");
            if (!converter) {
                std::fprintf(stderr, "OpenCC: %s is missing\n", error.path.c_str());
                return false;
            }
            ButtonCase c{toSimplified ? "cmdF2J" : "cmdJ2F", 2,
                         realNames(toSimplified ? "traditional" : "simplified", *converter),
                         [s](Form1& f) { chooseStandard(f, s); },
                         [converter](const std::u32string& n) { return converter->convert(n); }};
            c.label = std::string(c.button) + " " + config;
            c.label.erase(c.label.size() - 5); // ".json"
            c.goal = "<= 1.7";
            cases.push_back(c);
        }

    bool allRight = true;
    for (const ButtonCase& c : cases) {
        // Each round on fresh folders.
        std::vector<double> ratios;
        bool right = true;
        for (int round = 0; round < kRuns; ++round) {
            const Folder made = makeNamedFolder(renames, c.name);
            folder = made->path();
            const Folder baselineFolder = makeNamedFolder(renames, c.name);
            const std::string& baseline = baselineFolder->path();
            form.txtPath->setText(QString::fromStdString(folder));
            form.cmdGoPath_Click();
            form.SSTab1->setCurrentIndex(c.page);
            c.setUp(form);
            std::vector<std::pair<std::string, std::string>> names;
            std::set<std::string> want;
            for (int i = 0; i < form.File1->ListCount(); ++i) {
                const std::u32string from = form.File1->List(i);
                names.emplace_back(nw::encodeName(from), nw::encodeName(c.expected(from)));
                want.insert(names.back().second);
                if (names.back().first == names.back().second)
                    right = false;
            }
            c.setUp(form); // the running number starts again for the real pass
            const double loop = seconds([&] {
                for (const auto& [from, to] : names)
                    ::syscall(SYS_renameat2, AT_FDCWD, (baseline + "/" + from).c_str(), AT_FDCWD,
                              (baseline + "/" + to).c_str(), 1);
            });
            form.File1->selectAllEntries();
            QApplication::processEvents();
            auto* button = control<QPushButton>(form, c.button);
            ratios.push_back(seconds([&] {
                                 button->click();
                                 QApplication::processEvents();
                             }) /
                             loop);
            right = right && namesIn(folder) == want && messages.isEmpty() &&
                    static_cast<int>(want.size()) == renames;
            for (const QString& m : messages)
                std::fprintf(stderr, "message: %s\n", qPrintable(m));
            messages.clear();
        }
        allRight = allRight && right;
        const std::string what = c.label + " over " + std::to_string(renames) +
                                 " files / renameat2 loop" + (right ? "" : " WRONG RESULT");
        report(what, "in-process click", ratios, c.goal);
    }

    // What the progress dialog costs: Command1 with the dialog up from the
    // first entry, against the same pass with no dialog at all.
    std::vector<double> dialogRatios;
    for (int round = 0; round < kRuns; ++round) {
        double with = 0, without = 0;
        for (bool dialog : {false, true}) {
            const Folder made = makeNamedFolder(renames, photo);
            folder = made->path();
            form.txtPath->setText(QString::fromStdString(folder));
            form.cmdGoPath_Click();
            form.SSTab1->setCurrentIndex(0);
            cases[0].setUp(form);
            form.passRunner->setProgressTiming(dialog ? 0 : std::numeric_limits<int>::max(), 100);
            form.File1->selectAllEntries();
            QApplication::processEvents();
            const double t = seconds([&] {
                control<QPushButton>(form, "Command1")->click();
                QApplication::processEvents();
            });
            (dialog ? with : without) = t;
            allRight = allRight && static_cast<int>(namesIn(folder).size()) == renames &&
                       messages.isEmpty() && namesIn(folder).count("PHOTO_0.JPG");
            messages.clear();
        }
        dialogRatios.push_back(with / without);
    }
    form.passRunner->setProgressTiming(500, 100);
    report("Command1 with the progress dialog / without", "in-process click", dialogRatios,
           "<= 1.05");

    // Undo of a Command1 pass against a renameat2 loop putting the same names
    // back.
    {
        std::vector<double> ratios;
        bool right = true;
        for (int round = 0; round < kRuns; ++round) {
            const Folder made = makeNamedFolder(renames, photo);
            folder = made->path();
            const Folder baselineFolder = makeNamedFolder(renames, photo);
            const std::string& baseline = baselineFolder->path();
            form.txtPath->setText(QString::fromStdString(folder));
            form.cmdGoPath_Click();
            form.SSTab1->setCurrentIndex(0);
            cases[0].setUp(form);
            form.File1->selectAllEntries();
            control<QPushButton>(form, "Command1")->click();
            QApplication::processEvents();
            std::vector<std::pair<std::string, std::string>> names;
            for (int i = 0; i < renames; ++i)
                names.emplace_back(photo(i),
                                   nw::encodeName(cases[0].expected(nw::decodeName(photo(i)))));
            for (const auto& [from, to] : names)
                ::syscall(SYS_renameat2, AT_FDCWD, (baseline + "/" + from).c_str(), AT_FDCWD,
                          (baseline + "/" + to).c_str(), 1);
            const double loop = seconds([&] {
                for (auto it = names.rbegin(); it != names.rend(); ++it)
                    ::syscall(SYS_renameat2, AT_FDCWD, (baseline + "/" + it->second).c_str(),
                              AT_FDCWD, (baseline + "/" + it->first).c_str(), 1);
            });
            ratios.push_back(seconds([&] {
                                 form.passRunner->undo();
                                 QApplication::processEvents();
                             }) /
                             loop);
            right = right && namesIn(folder) == namesIn(baseline) && messages.isEmpty();
            messages.clear();
        }
        allRight = allRight && right;
        report(right ? "undo of a Command1 pass / renameat2 loop" : "undo WRONG RESULT",
               "in-process call", ratios, "<= 1.5");
    }

    // A peer: Debian's rename (the Perl one) making the same names as a
    // button, from the same names.
    auto perlPeer = [&](const ButtonCase& c, const char* expression, const std::string& what) {
        if (::access("/usr/bin/rename", X_OK) != 0) {
            std::printf("%-58s %8s\n", "Debian rename (Perl)", "not installed");
            return;
        }
        std::vector<double> ratios;
        bool right = true;
        for (int round = 0; round < kRuns; ++round) {
            const Folder made = makeNamedFolder(renames, c.name);
            folder = made->path();
            const Folder baselineFolder = makeNamedFolder(renames, c.name);
            const std::string& baseline = baselineFolder->path();
            std::vector<std::string> from;
            std::set<std::string> want;
            for (int i = 0; i < renames; ++i) {
                from.push_back(c.name(i));
                want.insert(nw::encodeName(c.expected(nw::decodeName(from.back()))));
            }
            const double loop = seconds([&] {
                for (const std::string& f : from) {
                    const std::string to = nw::encodeName(c.expected(nw::decodeName(f)));
                    ::syscall(SYS_renameat2, AT_FDCWD, (baseline + "/" + f).c_str(), AT_FDCWD,
                              (baseline + "/" + to).c_str(), 1);
                }
            });
            ratios.push_back(seconds([&] {
                                 const pid_t pid = ::fork();
                                 if (pid == 0) {
                                     if (::chdir(folder.c_str()) != 0)
                                         ::_exit(127);
                                     std::vector<char*> args{const_cast<char*>("rename"),
                                                             const_cast<char*>(expression)};
                                     for (std::string& f : from)
                                         args.push_back(f.data());
                                     args.push_back(nullptr);
                                     ::execv("/usr/bin/rename", args.data());
                                     ::_exit(127);
                                 }
                                 int status = 0;
                                 ::waitpid(pid, &status, 0);
                             }) /
                             loop);
            right = right && namesIn(folder) == want;
        }
        report(right ? "Debian rename (Perl), " + what + " / renameat2 loop"
                     : "Debian rename (Perl) WRONG RESULT",
               "child process", ratios, "a peer");
    };
    perlPeer(cases[0], "s/ /_/g; $_ = uc", "Command1's names");
    for (const ButtonCase& c : cases)
        if (std::string(c.button) == "cmdReplace")
            perlPeer(c, "s/Photo (\\d+)/Img_$1/", "cmdReplace's substitution");
    nw::app::setMessageHook(nullptr);
    return allRight;
}

} // namespace nw::bench
