#include "common/file_io.h"
#include "language/lang_strings.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>

#ifdef _WIN32
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace qm {
namespace fs = std::filesystem;

#ifdef _WIN32
std::wstring Utf8_To_Wide(std::string_view utf8) {
    if (utf8.empty()) {
        return {};
    }
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    return wide;
}

std::string Wide_To_Utf8(std::wstring_view wide) {
    if (wide.empty()) {
        return {};
    }
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                      nullptr);
    std::string utf8(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), n, nullptr, nullptr);
    return utf8;
}
#endif

namespace {
// Paths travel through the program as UTF-8 text. On Windows they become wide paths here, so
// every file call below is a wide (...W) call and names outside the 8-bit code page work.
fs::path To_Path(const std::string& path) {
#ifdef _WIN32
    return fs::path(Utf8_To_Wide(path));
#else
    return fs::path(std::u8string(path.begin(), path.end()));
#endif
}

#ifdef _WIN32
std::string Windows_Error_Text(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string message = n > 0 && text ? Wide_To_Utf8(std::wstring_view(text, n)) : "error " + std::to_string(error);
    if (text) {
        LocalFree(text);
    }
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' ' ||
                                message.back() == '.')) {
        message.pop_back();
    }
    return message;
}
#endif
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

std::string Base_Name(std::string_view path) {
    const auto slash = path.find_last_of("/\\");
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
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

bool Make_Dirs(const std::string& path) {
    std::error_code ec;
    fs::create_directories(To_Path(path), ec);
    return Dir_Exists(path);
}

namespace {

std::string Errno_Text(int error) {
    return std::strerror(error);
}

// Writes bytes to a new file and flushes them to the disk before it is renamed into place.
Io_Result Write_Temporary(const std::string& temp, std::string_view bytes) {
#ifdef _WIN32
    // As below: the file is made new, so nothing planted under its name is written through.
    const std::wstring wide = Utf8_To_Wide(temp);
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return {false, Windows_Error_Text(GetLastError())};
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1U << 30));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr)) {
            const DWORD error = GetLastError();
            CloseHandle(file);
            DeleteFileW(wide.c_str());
            return {false, Windows_Error_Text(error)};
        }
        done += written;
    }
    // On the disk before the rename, so that a power cut leaves the old file or the new one.
    if (!FlushFileBuffers(file)) {
        const DWORD error = GetLastError();
        CloseHandle(file);
        DeleteFileW(wide.c_str());
        return {false, Windows_Error_Text(error)};
    }
    if (!CloseHandle(file)) {
        const DWORD error = GetLastError();
        DeleteFileW(wide.c_str());
        return {false, Windows_Error_Text(error)};
    }
    return {};
#else
    // A configuration folder may come from anywhere: a link planted under the temporary name must
    // not make the save write through it to a file outside the folder. The file is created new,
    // never followed; the name is unique to this write, so nothing of another writer is in the way.
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

// A name beside path that no other write uses: another process (or a colleague's machine on a
// shared folder) saving the same file at the same time has its own temporary, so neither renames
// the other's half-written file into place.
std::atomic<bool> fixed_temporary_names{false};

std::string Temporary_Name(const std::string& path) {
    if (fixed_temporary_names) {
        return path + ".tmp~";
    }
    static std::atomic<unsigned> counter{0};
    static const std::uint64_t seed = [] {
        std::random_device device;
        return (static_cast<std::uint64_t>(device()) << 32) ^ device();
    }();
#ifdef _WIN32
    const unsigned long pid = GetCurrentProcessId();
#else
    const unsigned long pid = static_cast<unsigned long>(::getpid());
#endif
    const std::uint64_t tick = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    char unique[64];
    std::snprintf(unique, sizeof unique, ".%lu-%08llx%04x.tmp~", pid,
                  static_cast<unsigned long long>((seed ^ tick) & 0xFFFFFFFFULL), counter++ & 0xFFFFU);
    return path + unique;
}

// Temporaries of path left by a write that never finished (a crash, a power cut). Only old ones
// go: a young one may belong to a writer that is still at work, here or on another machine.
void Remove_Stale_Temporaries(const std::string& path) {
    constexpr auto Stale_After = std::chrono::hours(1);
    std::error_code ec;
    const fs::path target = To_Path(path);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const std::u8string prefix = target.filename().u8string() + u8".";
    const auto now = fs::file_time_type::clock::now();
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::u8string name = it->path().filename().u8string();
        if (!name.starts_with(prefix) || !name.ends_with(u8".tmp~") || !it->is_regular_file(ec)) {
            continue;
        }
        const auto written = it->last_write_time(ec);
        if (!ec && now - written > Stale_After) {
            fs::remove(it->path(), ec);
        }
    }
}

Io_Result Rename_Over(const std::string& from, const std::string& to) {
#ifdef _WIN32
    // A plain rename onto an existing file fails on Windows; this replaces it in one step, and
    // write-through returns only once the move is on the disk.
    const std::wstring wide_from = Utf8_To_Wide(from);
    const std::wstring wide_to = Utf8_To_Wide(to);
    // While another program has the target open (a second writer replacing it at the same
    // moment, a virus scanner, a backup) the move is refused for a moment; it is tried again for
    // up to a second before the save is reported as failed.
    for (int attempt = 0;; ++attempt) {
        if (MoveFileExW(wide_from.c_str(), wide_to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return {};
        }
        const DWORD error = GetLastError();
        if (attempt < 50 && (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION ||
                             error == ERROR_LOCK_VIOLATION)) {
            Sleep(20);
            continue;
        }
        DeleteFileW(wide_from.c_str());
        return {false, to + Lang(45) + Windows_Error_Text(error) + ")"};
    }
#else
    std::error_code ec;
    fs::rename(To_Path(from), To_Path(to), ec);
    if (ec) {
        fs::remove(To_Path(from), ec);
        return {false, to + Lang(45) + ec.message() + ")"};
    }
    return {};
#endif
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
        return {false, path + Lang(49) + std::to_string(length) + Lang(50) + std::to_string(max_bytes) + ")",
                Io_Error::Too_Large};
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
        Remove_Stale_Temporaries(path);
        std::string temp = Temporary_Name(path);
        Io_Result result = Write_Temporary(temp, bytes);
        if (!result && File_Exists(temp)) {
            // The one name taken already (or planted): another name, never the file that is there.
            temp = Temporary_Name(path);
            result = Write_Temporary(temp, bytes);
        }
        if (!result) {
            discard();
            return {false, path + Lang(53) + result.message + ")"};
        }
        written.push_back(temp);
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        const Io_Result result = Rename_Over(written[i], files[i].first);
        if (!result) {
            written.erase(written.begin(), written.begin() + static_cast<std::ptrdiff_t>(i) + 1);
            discard();
            return result;
        }
    }
    return {};
}

File_Stamp Stamp_File(const std::string& path) {
    File_Stamp stamp;
    std::error_code ec;
    const fs::path p = To_Path(path);
    if (!fs::is_regular_file(p, ec)) {
        return stamp;
    }
    const auto modified = fs::last_write_time(p, ec);
    std::ifstream in(p, std::ios::binary);
    if (ec || !in) {
        return stamp;
    }
    stamp.modified = static_cast<std::int64_t>(modified.time_since_epoch().count());
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    char buffer[64 * 1024];
    while (in) {
        in.read(buffer, sizeof buffer);
        const std::streamsize n = in.gcount();
        for (std::streamsize i = 0; i < n; ++i) {
            hash = (hash ^ static_cast<unsigned char>(buffer[i])) * 0x100000001b3ULL;
        }
        stamp.size += static_cast<std::uint64_t>(n);
    }
    stamp.hash = hash;
    stamp.exists = true;
    return stamp;
}

void Set_Fixed_Temporary_Names(bool fixed) {
    fixed_temporary_names = fixed;
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

void Prepare_Standard_Output() {
#ifdef _WIN32
    std::fflush(stdout);
    _setmode(_fileno(stdout), _O_BINARY);
    SetConsoleOutputCP(CP_UTF8);
#endif
}

std::string Program_Dir() {
#ifdef _WIN32
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n < buffer.size()) {
            buffer.resize(n);
            break;
        }
        buffer.resize(buffer.size() * 2); // a long path: try again with more room
    }
    const std::size_t slash = buffer.find_last_of(L"\\/");
    return Wide_To_Utf8(slash == std::wstring::npos ? std::wstring() : buffer.substr(0, slash));
#else
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) {
        return fs::current_path(ec).string();
    }
    return exe.parent_path().string();
#endif
}

std::string User_Data_Dir() {
#ifdef _WIN32
    const wchar_t* local = _wgetenv(L"LOCALAPPDATA");
    return local != nullptr && *local != L'\0' ? Wide_To_Utf8(local) : std::string();
#else
    // Relative values are to be ignored, as the XDG base directory rules say.
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && data[0] == '/') {
        return data;
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/') {
        return {};
    }
    return std::string(home) + "/.local/share";
#endif
}

std::vector<std::string> Program_Arguments(int argc, char* argv[]) {
#ifdef _WIN32
    (void)argc;
    (void)argv;
    std::vector<std::string> args;
    int count = 0;
    if (wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 1; i < count; ++i) {
            args.push_back(Wide_To_Utf8(wide[i]));
        }
        LocalFree(wide);
    }
    return args;
#else
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
#endif
}

bool Is_Plain_Writable_File(const std::string& path) {
#ifdef _WIN32
    const DWORD attributes = GetFileAttributesW(Utf8_To_Wide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    // Read-only, temporary, compressed, offline, encrypted, folders and reparse points are left out.
    constexpr DWORD allowed = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                              FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_SPARSE_FILE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    return (attributes & ~allowed) == 0;
#else
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(To_Path(path), ec);
    if (ec || status.type() != fs::file_type::regular) {
        return false;
    }
    constexpr fs::perms writers = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    return (status.permissions() & writers) != fs::perms::none;
#endif
}

} // namespace qm
