#include "tests/support/fuse_image.h"

#include "tests/support/child_process.h"
#include "tests/support/folder_snapshot.h"

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace nw::test {
namespace {

bool run(const std::string& cmd, std::string* out = nullptr) { return runShell(cmd, out); }

bool isMountPoint(const std::string& path) { return run("mountpoint -q '" + path + "'"); }

} // namespace

const char* FuseImage::name(Kind kind) {
    switch (kind) {
    case Kind::ExFat: return "exFAT through exfat-fuse";
    case Kind::Fat: return "FAT through fusefat";
    case Kind::Ntfs: return "NTFS through ntfs-3g";
    }
    return "";
}

std::string FuseImage::unavailable() {
    if (::access("/dev/fuse", R_OK | W_OK) != 0)
        return "/dev/fuse is missing or not usable on this machine";
    return {};
}

namespace {

// Seeded images made once per process: a round that needs a fresh drive
// copies one instead of writing its files again through FUSE.
struct SeededImage {
    FuseImage::Kind kind;
    std::string size;
    FuseImage::Seed seed;
    std::string path;
};

struct SeededImages {
    std::vector<SeededImage> made;
    ~SeededImages() {
        for (const SeededImage& i : made)
            ::unlink(i.path.c_str());
    }
};

SeededImages& seededImages() {
    static SeededImages images;
    return images;
}

std::string newImageFile() {
    char tmpl[] = "/tmp/namewright-image-XXXXXX";
    const int fd = ::mkstemp(tmpl);
    if (fd < 0)
        return {};
    ::close(fd);
    return tmpl;
}

} // namespace

namespace {

// A seed's files, in the folders their names give ("a/b/name").
void writeSeed(const std::string& dir, const FuseImage::Seed& seed) {
    for (const auto& [name, content] : seed.files) {
        for (std::size_t slash = name.find('/'); slash != std::string::npos;
             slash = name.find('/', slash + 1))
            ::mkdir((dir + "/" + name.substr(0, slash)).c_str(), 0755);
        writeFile(dir, name, content);
    }
}

} // namespace

std::string FuseImage::seeded(Kind kind, const Seed& seed, const std::string& size,
                              std::string& failure) {
    for (const SeededImage& i : seededImages().made)
        if (i.kind == kind && i.size == size && i.seed.folder == seed.folder &&
            i.seed.files == seed.files)
            return i.path;
    std::string out, path;
    if (kind == Kind::Fat) {
        // fusefat takes seconds per hundred files it creates: mtools writes
        // them into the image unmounted.
        path = newImageFile();
        const std::string img = "'" + path + "'";
        TempFolder staging;
        const std::string dir = staging.path() + "/" + seed.folder;
        ::mkdir(dir.c_str(), 0755);
        writeSeed(dir, seed);
        if (path.empty() || !run("truncate -s " + size + " " + img, &out) ||
            !run("mkfs.vfat " + img, &out) ||
            !run("mcopy -s -i " + img + " '" + dir + "' ::", &out)) {
            failure = "the seeded FAT image could not be made: " + out;
            ::unlink(path.c_str());
            return {};
        }
    } else {
        // Written through the drive's own FUSE daemon, which has written
        // everything out once it is gone.
        TempFolder at;
        FuseImage staging(kind, at.path(), {}, size);
        if (!staging.mounted()) {
            failure = staging.failure();
            return {};
        }
        const std::string dir = at.path() + "/" + seed.folder;
        ::mkdir(dir.c_str(), 0755);
        writeSeed(dir, seed);
        const std::string pattern = staging.daemonPattern();
        staging.unmount();
        for (int i = 0; i < 500 && run("pgrep -f '" + pattern + "' >/dev/null"); ++i)
            ::usleep(20000);
        path = std::exchange(staging.m_image, std::string());
    }
    seededImages().made.push_back({kind, size, seed, path});
    return path;
}

FuseImage::FuseImage(Kind kind, std::string mountPoint, const Seed& seed, const std::string& size)
    : m_mountPoint(std::move(mountPoint)) {
    std::string out;
    std::string seededFrom;
    if (!seed.folder.empty() && (seededFrom = seeded(kind, seed, size, m_failure)).empty())
        return;
    m_image = newImageFile();
    if (m_image.empty()) {
        m_failure = "no temporary image file";
        return;
    }
    const std::string img = "'" + m_image + "'", at = "'" + m_mountPoint + "'";
    if (!seededFrom.empty() ? !run("cp --sparse=always '" + seededFrom + "' " + img, &out)
                            : !run("truncate -s " + size + " " + img, &out)) {
        m_failure = "the image could not be made: " + out;
        return;
    }
    const bool fresh = seededFrom.empty();
    bool ok = false;
    switch (kind) {
    case Kind::ExFat:
        // exfat-fuse run as root wants a block device.
        ok = (!fresh || run("mkfs.exfat " + img, &out)) && run("losetup -f --show " + img, &m_loop);
        if (ok) {
            while (!m_loop.empty() && (m_loop.back() == '\n' || m_loop.back() == ' '))
                m_loop.pop_back();
            m_mountCommand = "mount.exfat-fuse '" + m_loop + "' " + at;
            ok = run(m_mountCommand, &out);
        }
        break;
    case Kind::Fat:
        m_mountCommand = "fusefat -o rw+ " + img + " " + at;
        ok = (!fresh || run("mkfs.vfat " + img, &out)) && run(m_mountCommand, &out);
        break;
    case Kind::Ntfs:
        m_mountCommand = "ntfs-3g " + img + " " + at;
        ok = (!fresh || run("mkntfs -q -F -f " + img, &out)) && run(m_mountCommand, &out);
        break;
    }
    m_mounted = ok && isMountPoint(m_mountPoint);
    if (!m_mounted)
        m_failure = std::string(name(kind)) + " could not be mounted: " + out;
}

void FuseImage::unmount() {
    if (m_mounted) {
        // The FUSE daemon may still be writing; a lazy unmount never hangs.
        if (!run("fusermount -u '" + m_mountPoint + "'"))
            run("umount -l '" + m_mountPoint + "'");
        m_mounted = false;
    }
    if (!m_loop.empty()) {
        run("losetup -d '" + m_loop + "'");
        m_loop.clear();
    }
}

std::string FuseImage::daemonPattern() const {
    // "[/]" keeps pgrep from finding the shell that runs it; the space after
    // keeps /dev/loop1 from finding /dev/loop10.
    return "[/]" + (m_loop.empty() ? m_image : m_loop).substr(1) + " ";
}

bool FuseImage::killDaemon() {
    if (!run("pkill -KILL -f '" + daemonPattern() + "'"))
        return false;
    // Gone before the next call reaches it.
    for (int i = 0; i < 250 && run("pgrep -f '" + daemonPattern() + "' >/dev/null"); ++i)
        ::usleep(20000);
    return true;
}

bool FuseImage::remount() {
    if (!m_mounted || !run("fusermount -u '" + m_mountPoint + "'"))
        return false;
    // The daemon writes what it holds as it ends; a second one must not
    // start on the image before the first is gone.
    for (int i = 0; i < 250 && run("pgrep -f '" + daemonPattern() + "' >/dev/null"); ++i)
        ::usleep(20000);
    m_mounted = run(m_mountCommand) && isMountPoint(m_mountPoint);
    return m_mounted;
}

FuseImage::~FuseImage() {
    unmount();
    if (!m_image.empty())
        ::unlink(m_image.c_str());
}

} // namespace nw::test
