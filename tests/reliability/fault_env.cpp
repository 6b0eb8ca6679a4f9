#include "fault_env.h"

#include <linux/capability.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

namespace qm::test {
namespace fs = std::filesystem;

Scratch_Folder::Scratch_Folder() {
    std::string pattern = (fs::temp_directory_path() / "qm_reliability_XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) {
        path_ = pattern;
    }
}

Scratch_Folder::~Scratch_Folder() {
    std::error_code ec;
    // A test that failed half-way may leave a folder without write or search permission.
    for (auto it = fs::recursive_directory_iterator(path_, fs::directory_options::skip_permission_denied, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec)) {
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
        }
    }
    fs::remove_all(path_, ec);
}

void Write_Text(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

std::string Read_Text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

Folder_Snapshot Snapshot(const std::string& folder) {
    Folder_Snapshot snapshot;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        const std::string name = fs::relative(it->path(), folder, ec).string();
        if (it->is_symlink(ec)) {
            snapshot[name] = "<link to " + fs::read_symlink(it->path(), ec).string() + ">";
            it.disable_recursion_pending();
        } else if (it->is_directory(ec)) {
            snapshot[name] = "<folder>";
        } else if (it->is_regular_file(ec)) {
            snapshot[name] = Read_Text(it->path().string());
        } else {
            snapshot[name] = "<special file>";
        }
    }
    return snapshot;
}

std::string Snapshot_Difference(const Folder_Snapshot& before, const Folder_Snapshot& after) {
    std::ostringstream out;
    const auto shown = [](const std::string& bytes) {
        return bytes.size() <= 60 ? bytes : bytes.substr(0, 57) + "... (" + std::to_string(bytes.size()) + " bytes)";
    };
    for (const auto& [name, bytes] : before) {
        const auto it = after.find(name);
        if (it == after.end()) {
            out << "removed: " << name << "\n";
        } else if (it->second != bytes) {
            out << "changed: " << name << ": \"" << shown(bytes) << "\" became \"" << shown(it->second) << "\"\n";
        }
    }
    for (const auto& [name, bytes] : after) {
        if (!before.contains(name)) {
            out << "left behind: " << name << "\n";
        }
    }
    return out.str();
}

namespace {

struct Capabilities {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
};

constexpr int Bypass_Caps[] = {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER};

} // namespace

Permission_Bits_Apply::Permission_Bits_Apply() {
    if (::geteuid() != 0) {
        return; // an ordinary user: the bits apply already
    }
    Capabilities caps;
    if (::syscall(SYS_capget, &caps.header, caps.data) != 0) {
        problem_ = std::string("capget failed: ") + std::strerror(errno);
        return;
    }
    for (const int cap : Bypass_Caps) {
        caps.data[cap / 32].effective &= ~(1U << (cap % 32));
    }
    if (::syscall(SYS_capset, &caps.header, caps.data) != 0) {
        problem_ = std::string("cannot drop the capabilities that bypass permission bits: ") + std::strerror(errno);
        return;
    }
    dropped_ = true;
}

Permission_Bits_Apply::~Permission_Bits_Apply() {
    if (!dropped_) {
        return;
    }
    Capabilities caps;
    if (::syscall(SYS_capget, &caps.header, caps.data) == 0) {
        for (const int cap : Bypass_Caps) {
            caps.data[cap / 32].effective |= caps.data[cap / 32].permitted & (1U << (cap % 32));
        }
        ::syscall(SYS_capset, &caps.header, caps.data);
    }
}

std::string Enter_Private_Mount_Namespace() {
    static const std::string problem = []() -> std::string {
        if (::unshare(CLONE_NEWNS) != 0) {
            return std::string("no private mount namespace (needs root or CAP_SYS_ADMIN): ") + std::strerror(errno);
        }
        // Otherwise mounts would propagate back to the shared namespace of the machine.
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
            return std::string("cannot make the mount namespace private: ") + std::strerror(errno);
        }
        return {};
    }();
    return problem;
}

std::unique_ptr<Mount> Mount::Tmpfs(const std::string& folder, std::size_t bytes) {
    std::unique_ptr<Mount> m(new Mount);
    m->folder_ = folder;
    m->problem_ = Enter_Private_Mount_Namespace();
    if (!m->problem_.empty()) {
        return m;
    }
    const std::string options = "size=" + std::to_string(bytes) + ",mode=0755";
    if (::mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) != 0) {
        m->problem_ = std::string("cannot mount a tmpfs: ") + std::strerror(errno);
        return m;
    }
    m->mounted_ = true;
    return m;
}

std::unique_ptr<Mount> Mount::Read_Only(const std::string& folder) {
    std::unique_ptr<Mount> m(new Mount);
    m->folder_ = folder;
    m->problem_ = Enter_Private_Mount_Namespace();
    if (!m->problem_.empty()) {
        return m;
    }
    if (::mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND | MS_REC, nullptr) != 0) {
        m->problem_ = std::string("cannot bind the folder: ") + std::strerror(errno);
        return m;
    }
    m->mounted_ = true;
    if (::mount(nullptr, folder.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) != 0) {
        m->problem_ = std::string("cannot make the bind read-only: ") + std::strerror(errno);
    }
    return m;
}

Mount::~Mount() {
    if (mounted_) {
        ::umount2(folder_.c_str(), MNT_DETACH);
    }
}

void Fill_Disk(const std::string& folder) {
    const std::string path = folder + "/filler";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        return;
    }
    std::setvbuf(f, nullptr, _IONBF, 0);
    // Large writes first, then single bytes, so that the last free byte is taken too.
    const std::vector<char> block(64 * 1024, 'f');
    for (std::size_t size = block.size(); size > 0; size /= 2) {
        while (std::fwrite(block.data(), 1, size, f) == size) {
        }
        std::clearerr(f);
    }
    std::fclose(f);
}

} // namespace qm::test
