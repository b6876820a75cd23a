#include "bench/bench.h"

namespace nw::bench {

bool g_failed = false;

int kRuns = 3;

bool resultsOnly() {
    const char* v = std::getenv("NAMEWRIGHT_BENCH_RESULTS_ONLY");
    return v && std::string(v) == "1";
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n == 0 ? 0 : n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Whether a ratio meets a goal written as "<= 1.5", "< 1" or "> 1"; any other
// goal ("a peer") is no goal.
bool meets(double r, const std::string& goal) {
    double limit = 0;
    if (std::sscanf(goal.c_str(), "<= %lf", &limit) == 1)
        return r <= limit;
    if (std::sscanf(goal.c_str(), "< %lf", &limit) == 1)
        return r < limit;
    if (std::sscanf(goal.c_str(), "> %lf", &limit) == 1)
        return r > limit;
    return true;
}

std::vector<std::string> g_missed;

std::size_t rawListing(const std::string& d) {
    DIR* dir = ::opendir(d.c_str());
    std::size_t n = 0;
    while (dirent* e = ::readdir(dir)) {
        struct stat st {};
        ::fstatat(::dirfd(dir), e->d_name, &st, 0);
        n += S_ISREG(st.st_mode) ? 1 : 0;
    }
    ::closedir(dir);
    return n;
}

void report(const std::string& what, const char* how, const std::vector<double>& ratios,
            const char* goal) {
    const double m = median(ratios);
    const auto [lo, hi] = std::minmax_element(ratios.begin(), ratios.end());
    const bool met = meets(m, goal);
    std::printf("%-72s %-25s %6.2f  %4.2f-%-5.2f %-9s %s\n", what.c_str(), how, m,
                ratios.empty() ? 0 : *lo, ratios.empty() ? 0 : *hi, goal, met ? "" : "MISSED");
    std::fflush(stdout);
    if (!met)
        g_missed.push_back(what + ": " + std::to_string(m) + ", goal " + goal);
}

Folder makeNamedFolder(int files, const std::function<std::string(int)>& name) {
    auto d = std::make_unique<nw::test::TempFolder>();
    for (int i = 0; i < files; ++i)
        ::close(::open((d->path() + "/" + name(i)).c_str(), O_WRONLY | O_CREAT, 0644));
    return d;
}

Folder programFolderWithTable(const std::string& tableFile) {
    auto program = std::make_unique<nw::test::TempFolder>();
    std::ifstream in(tableFile, std::ios::binary);
    std::ofstream out(program->path() + "/F2J.txt", std::ios::binary);
    out << in.rdbuf();
    return program;
}

std::set<std::string> namesIn(const std::string& d) {
    std::set<std::string> out;
    DIR* dir = ::opendir(d.c_str());
    while (dirent* e = ::readdir(dir))
        if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
            out.insert(e->d_name);
    ::closedir(dir);
    return out;
}

std::string simplifiedName(int i) {
    static const char* const stems[] = {"头发护理", "签证申请表", "关系图",   "周报模板",
                                        "更新日志", "制作流程",   "面包做法", "钟表维修"};
    static const char* const exts[] = {".txt", ".pdf", ".png", ".docx"};
    return std::string(stems[i % 8]) + " " + std::to_string(i) + exts[i % 4];
}

int runChild(const std::vector<std::string>& argv, const std::string& cwd, const std::string& input,
             std::string* out) {
    int pipeFds[2] = {-1, -1};
    if (out && ::pipe(pipeFds) != 0)
        return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (!cwd.empty() && ::chdir(cwd.c_str()) != 0)
            ::_exit(127);
        const int in = ::open(input.empty() ? "/dev/null" : input.c_str(), O_RDONLY);
        if (in < 0 || ::dup2(in, 0) < 0)
            ::_exit(127);
        if (out && ::dup2(pipeFds[1], 1) < 0)
            ::_exit(127);
        std::vector<char*> args;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    if (out) {
        ::close(pipeFds[1]);
        char buf[4096];
        for (ssize_t n; (n = ::read(pipeFds[0], buf, sizeof buf)) > 0;)
            out->append(buf, static_cast<std::size_t>(n));
        ::close(pipeFds[0]);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

qint64 longestGapMs(const std::function<void()>& work) {
    QElapsedTimer clock;
    qint64 last = 0, longest = 0;
    QTimer tick;
    tick.setInterval(1);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longest = std::max(longest, clock.elapsed() - last);
        last = clock.elapsed();
    });
    clock.start();
    tick.start();
    work();
    QApplication::processEvents();
    return std::max(longest, clock.elapsed() - last);
}

} // namespace nw::bench
