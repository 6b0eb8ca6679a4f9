#pragma once
// The faults a plant engineer's folder can hold, made real for one test: read-only mounts, a
// full disk, files this user may not read. Root ignores permission bits, so the tests drop the
// capabilities that let it, and mount file systems in a private mount namespace of their own.

#include <map>
#include <memory>
#include <string>

namespace qm::test {

// A fresh folder, removed with everything in it afterwards.
class Scratch_Folder {
public:
    Scratch_Folder();
    ~Scratch_Folder();
    Scratch_Folder(const Scratch_Folder&) = delete;
    Scratch_Folder& operator=(const Scratch_Folder&) = delete;

    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

void Write_Text(const std::string& path, const std::string& text);
std::string Read_Text(const std::string& path);

// Every entry under a folder: files with their bytes, folders as "<folder>", links as
// "<link to ...>". Equal snapshots mean nothing was changed, added or left behind.
using Folder_Snapshot = std::map<std::string, std::string>;
Folder_Snapshot Snapshot(const std::string& folder);
// The differences, one per line, for a failure message.
std::string Snapshot_Difference(const Folder_Snapshot& before, const Folder_Snapshot& after);

// While it lives, permission bits apply to this process even when it runs as root (the
// capabilities that bypass them are taken out of its effective set, and put back afterwards).
class Permission_Bits_Apply {
public:
    Permission_Bits_Apply();
    ~Permission_Bits_Apply();
    Permission_Bits_Apply(const Permission_Bits_Apply&) = delete;
    Permission_Bits_Apply& operator=(const Permission_Bits_Apply&) = delete;
    // Empty when the bits apply; else why not (the test skips with it).
    const std::string& Problem() const { return problem_; }

private:
    bool dropped_ = false;
    std::string problem_;
};

// Puts this process into a private mount namespace once, so that mounts made by the tests are
// seen by no one else and vanish with the process. Empty on success, else the reason.
std::string Enter_Private_Mount_Namespace();

// A mount over a folder for the lifetime of the object: a small tmpfs, or the folder itself
// bound read-only. Problem() is empty when the mount is in place.
class Mount {
public:
    static std::unique_ptr<Mount> Tmpfs(const std::string& folder, std::size_t bytes);
    static std::unique_ptr<Mount> Read_Only(const std::string& folder);
    ~Mount();
    Mount(const Mount&) = delete;
    Mount& operator=(const Mount&) = delete;
    const std::string& Problem() const { return problem_; }

private:
    Mount() = default;
    std::string folder_;
    bool mounted_ = false;
    std::string problem_;
};

// Fills the file system that holds folder until not one more byte fits.
void Fill_Disk(const std::string& folder);

} // namespace qm::test
