#include "tests/support/fuse_image.h"

#include "tests/support/child_process.h"
#include "tests/support/folder_snapshot.h"

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

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

FuseImage::FuseImage(Kind kind, std::string mountPoint, const Seed& seed, const std::string& size)
    : m_mountPoint(std::move(mountPoint)) {
    char tmpl[] = "/tmp/namewright-image-XXXXXX";
    const int fd = ::mkstemp(tmpl);
    if (fd < 0) {
        m_failure = "no temporary image file";
        return;
    }
    ::close(fd);
    m_image = tmpl;
    std::string out;
    const std::string img = "'" + m_image + "'", at = "'" + m_mountPoint + "'";
    if (!run("truncate -s " + size + " " + img, &out)) {
        m_failure = "truncate: " + out;
        return;
    }
    bool ok = false;
    switch (kind) {
    case Kind::ExFat:
        // exfat-fuse run as root wants a block device.
        ok = run("mkfs.exfat " + img, &out) && run("losetup -f --show " + img, &m_loop);
        if (ok) {
            while (!m_loop.empty() && (m_loop.back() == '\n' || m_loop.back() == ' '))
                m_loop.pop_back();
            m_mountCommand = "mount.exfat-fuse '" + m_loop + "' " + at;
            ok = run(m_mountCommand, &out);
        }
        break;
    case Kind::Fat:
        ok = run("mkfs.vfat " + img, &out);
        if (ok && !seed.folder.empty()) {
            TempFolder staging;
            const std::string dir = staging.path() + "/" + seed.folder;
            ::mkdir(dir.c_str(), 0755);
            for (const auto& [name, content] : seed.files)
                writeFile(dir, name, content);
            ok = run("mcopy -s -i " + img + " '" + dir + "' ::", &out);
        }
        m_mountCommand = "fusefat -o rw+ " + img + " " + at;
        ok = ok && run(m_mountCommand, &out);
        break;
    case Kind::Ntfs:
        m_mountCommand = "ntfs-3g " + img + " " + at;
        ok = run("mkntfs -q -F -f " + img, &out) && run(m_mountCommand, &out);
        break;
    }
    m_mounted = ok && isMountPoint(m_mountPoint);
    if (!m_mounted) {
        m_failure = std::string(name(kind)) + " could not be mounted: " + out;
        return;
    }
    if (kind != Kind::Fat && !seed.folder.empty()) {
        const std::string dir = m_mountPoint + "/" + seed.folder;
        ::mkdir(dir.c_str(), 0755);
        for (const auto& [name, content] : seed.files)
            writeFile(dir, name, content);
    }
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
