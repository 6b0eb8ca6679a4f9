#include "common/file_io.h"
#include "language/lang_table.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace qm {
namespace fs = std::filesystem;

namespace {
// Paths travel through the program as UTF-8 text.
fs::path To_Path(const std::string& path) {
    return fs::path(std::u8string(path.begin(), path.end()));
}
} // namespace

char Path_Separator() {
#ifdef _WIN32
    return '\\';
#else
    return '/';
#endif
}

std::string Path_Join(std::string_view a, std::string_view b) {
    std::string joined(a);
    joined += Path_Separator();
    joined += b;
    return joined;
}

bool File_Exists(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(To_Path(path), ec);
}

bool Dir_Exists(const std::string& path) {
    std::error_code ec;
    return fs::is_directory(To_Path(path), ec);
}

bool Make_Dir(const std::string& path) {
    std::error_code ec;
    fs::create_directory(To_Path(path), ec);
    return Dir_Exists(path);
}

namespace {

std::string Errno_Text(int error) {
    return std::strerror(error);
}

// Writes bytes to a new file and flushes them to the disk before it is renamed into place.
Io_Result Write_Temporary(const std::string& temp, std::string_view bytes) {
#ifdef _WIN32
    std::ofstream out(To_Path(temp), std::ios::binary | std::ios::trunc);
    if (!out) {
        return {false, temp + Lang(43)};
    }
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) {
        return {false, temp + Lang(44)};
    }
    return {};
#else
    // A configuration folder may come from anywhere: a link planted under the temporary name must
    // not make the save write through it to a file outside the folder. A leftover of an earlier
    // crash (or such a link) is removed, and the file is created new, never followed.
    ::unlink(temp.c_str());
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) {
        return {false, Errno_Text(errno)};
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            const int error = errno;
            ::close(fd);
            ::unlink(temp.c_str());
            return {false, Errno_Text(error)};
        }
        done += static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0 && errno != EINVAL) {
        const int error = errno;
        ::close(fd);
        ::unlink(temp.c_str());
        return {false, Errno_Text(error)};
    }
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        return {false, Errno_Text(error)};
    }
    return {};
#endif
}

std::string Temporary_Name(const std::string& path) {
    return path + ".tmp~";
}

Io_Result Rename_Over(const std::string& from, const std::string& to) {
    std::error_code ec;
    fs::rename(To_Path(from), To_Path(to), ec);
    if (ec) {
        fs::remove(To_Path(from), ec);
        return {false, to + Lang(45) + ec.message() + ")"};
    }
    return {};
}

} // namespace

namespace {

// The body of both readers: the checks and messages are the same, only the memory differs.
Io_Result Read_Whole_File(const std::string& path, std::uint64_t max_bytes,
                          const std::function<char*(std::size_t)>& allocate, std::size_t& size) {
    size = 0;
    std::error_code ec;
    const fs::path p = To_Path(path);
    if (fs::is_directory(p, ec)) {
        return {false, path + Lang(46)};
    }
    std::ifstream in(p, std::ios::binary);
    if (!in) {
        return {false, path + Lang(47) + Errno_Text(errno) + ")"};
    }
    in.seekg(0, std::ios::end);
    const std::streamoff length = in.tellg();
    in.seekg(0, std::ios::beg);
    if (length < 0) {
        return {false, path + Lang(48)};
    }
    if (static_cast<std::uint64_t>(length) > max_bytes) {
        return {false, path + Lang(49) + std::to_string(length) + Lang(50) + std::to_string(max_bytes) + ")"};
    }
    char* data = allocate(static_cast<std::size_t>(length));
    if (data == nullptr) {
        return {false, path + Lang(47) + Errno_Text(ENOMEM) + ")"};
    }
    in.read(data, length);
    if (in.gcount() != length) {
        return {false, path + Lang(51)};
    }
    size = static_cast<std::size_t>(length);
    return {};
}

} // namespace

Io_Result Read_File(const std::string& path, std::string& out, std::uint64_t max_bytes) {
    out.clear();
    std::size_t size = 0;
    const Io_Result read = Read_Whole_File(path, max_bytes, [&out](std::size_t n) {
        out.resize(n);
        return out.data();
    }, size);
    if (!read) {
        out.clear();
    }
    return read;
}

Io_Result Read_File_Into(const std::string& path, const std::function<char*(std::size_t)>& allocate,
                         std::size_t& size, std::uint64_t max_bytes) {
    return Read_Whole_File(path, max_bytes, allocate, size);
}

Io_Result Write_File_Atomic(const std::string& path, std::string_view bytes) {
    return Write_Files_Atomic({{path, std::string(bytes)}});
}

Io_Result Write_Files_Atomic(const std::vector<std::pair<std::string, std::string>>& files) {
    std::vector<std::string> written;
    auto discard = [&written] {
        std::error_code ec;
        for (const auto& temp : written) {
            fs::remove(To_Path(temp), ec);
        }
    };
    for (const auto& [path, bytes] : files) {
        if (Dir_Exists(path)) {
            discard();
            return {false, path + Lang(52)};
        }
        const std::string temp = Temporary_Name(path);
        const Io_Result result = Write_Temporary(temp, bytes);
        if (!result) {
            discard();
            return {false, path + Lang(53) + result.message + ")"};
        }
        written.push_back(temp);
    }
    for (const auto& [path, bytes] : files) {
        const Io_Result result = Rename_Over(Temporary_Name(path), path);
        if (!result) {
            discard();
            return result;
        }
    }
    return {};
}

std::optional<std::string> Keep_Backup(const std::string& path, std::string_view tag) {
    for (int n = 1; n < 1000; ++n) {
        const std::string candidate = path + "." + std::string(tag) + "-" + std::to_string(n);
        std::error_code ec;
        if (fs::exists(To_Path(candidate), ec)) {
            continue;
        }
        fs::copy_file(To_Path(path), To_Path(candidate), ec);
        if (ec) {
            return std::nullopt;
        }
        return candidate;
    }
    return std::nullopt;
}

std::string Program_Dir() {
#ifdef _WIN32
    wchar_t buffer[MAX_PATH * 4];
    const DWORD n = GetModuleFileNameW(nullptr, buffer, static_cast<DWORD>(std::size(buffer)));
    const std::u8string dir = fs::path(std::wstring(buffer, n)).parent_path().u8string();
    return std::string(dir.begin(), dir.end());
#else
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) {
        return fs::current_path(ec).string();
    }
    return exe.parent_path().string();
#endif
}

} // namespace qm
