#pragma once
// A file system image mounted through FUSE, as a user's stick or disk would
// be: exFAT (exfat-fuse), FAT (fusefat) or NTFS (ntfs-3g). Unmounted and
// removed with the object.
#include <map>
#include <string>

namespace nw::test {

class FuseImage {
public:
    enum class Kind { ExFat, Fat, Ntfs };

    // A folder the image starts with: its name and its files (name ->
    // content; "a/b/name" in folders of their own). The first image of a seed is written once per
    // process; every later one with the same seed is a copy of it.
    struct Seed {
        std::string folder;
        std::map<std::string, std::string> files;
    };

    // mountPoint: an empty folder that exists; size: of the image, as
    // truncate takes it.
    FuseImage(Kind kind, std::string mountPoint, const Seed& seed = {},
              const std::string& size = "24M");
    ~FuseImage();
    FuseImage(const FuseImage&) = delete;
    FuseImage& operator=(const FuseImage&) = delete;

    // Why there is no mount: empty when mounted.
    const std::string& failure() const { return m_failure; }
    bool mounted() const { return m_failure.empty(); }

    // Where this machine cannot mount through FUSE at all; empty where it can.
    static std::string unavailable();
    static const char* name(Kind kind);

    void unmount();
    // Unmounts and mounts the image again, as a stick pulled out and put
    // back: the drive numbers its files anew. false where that failed.
    bool remount();
    // Kills the FUSE daemon at once, as a drive pulled out: the mount stays,
    // answering ENOTCONN, until it is unmounted.
    bool killDaemon();

private:
    // The image file seeded so, made on first use; empty (and failure set)
    // where it could not be made.
    static std::string seeded(Kind kind, const Seed& seed, const std::string& size,
                              std::string& failure);
    // What pgrep finds this image's daemon by.
    std::string daemonPattern() const;
    std::string m_mountPoint;
    std::string m_image;
    std::string m_loop;
    std::string m_failure;
    std::string m_mountCommand;
    bool m_mounted = false;
};

} // namespace nw::test
