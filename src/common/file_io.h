#pragma once
// File-system calls of the whole program, in one place so that the Windows build only changes here.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

// The platform's folder separator: '\\' on Windows, '/' elsewhere.
char Path_Separator();
// a + separator + b; no trailing separator is added.
std::string Path_Join(std::string_view a, std::string_view b);
// The last part of a path, after its last / or \ (the path itself when it has none).
std::string Base_Name(std::string_view path);

bool File_Exists(const std::string& path); // a regular file
bool Dir_Exists(const std::string& path);
// Creates one folder level; true when it exists afterwards.
bool Make_Dir(const std::string& path);
// Creates the folder and every missing parent; true when it exists afterwards.
bool Make_Dirs(const std::string& path);

// The failures that callers answer in their own words; every other failure is None.
enum class Io_Error {
    None,
    Too_Large, // a read refused before a byte was read: the file exceeds the reader's limit
};

struct Io_Result {
    bool ok = true;
    std::string message; // the reason naming the file, in the current language, when !ok
    Io_Error error = Io_Error::None;
    explicit operator bool() const { return ok; }
};

// Reads a whole file; refuses files larger than max_bytes (the message says so).
Io_Result Read_File(const std::string& path, std::string& out,
                    std::uint64_t max_bytes = 256ULL * 1024 * 1024);
// The same checks and messages, into memory that allocate(size) gives, so that a caller can
// hand the bytes on without a copy. A null from allocate fails the read; on failure the memory
// stays the caller's to free, and size is 0.
Io_Result Read_File_Into(const std::string& path, const std::function<char*(std::size_t)>& allocate,
                         std::size_t& size, std::uint64_t max_bytes = 256ULL * 1024 * 1024);

// Writes through a temporary file in the same folder and renames it over the target,
// so a crash or a full disk never leaves half a file; the old file stays on failure.
Io_Result Write_File_Atomic(const std::string& path, std::string_view bytes);

// Writes several files so that they are replaced together: all temporaries first, then the renames.
// Each temporary has a name of its own (process id and a random part), so two writers of the same
// file at once never rename each other's half-written file into place; temporaries an earlier
// write left behind are removed once they are an hour old.
Io_Result Write_Files_Atomic(const std::vector<std::pair<std::string, std::string>>& files);

// What a file was when it was read. Compared again before the file is written, so that a change
// made meanwhile (another window, another program, a colleague on a shared folder) is never
// overwritten unasked. The hash covers what size and time miss: a change within the same
// second and of the same size.
struct File_Stamp {
    bool exists = false;
    std::uint64_t size = 0;
    std::int64_t modified = 0; // the file system's time stamp, in its own ticks
    std::uint64_t hash = 0;    // FNV-1a of the bytes
    bool operator==(const File_Stamp&) const = default;
};
// The stamp of path now; a missing or unreadable file has exists false.
File_Stamp Stamp_File(const std::string& path);

// For tests that make a write fail by putting a folder where its temporary goes: every temporary
// of path is then named path + ".tmp~".
void Set_Fixed_Temporary_Names(bool fixed);

// Copies path to a free name beside it ("<name>.unreadable-1", "-2", ...) so that a later save
// cannot lose what the user had. Returns the backup path, or nothing when the copy failed.
std::optional<std::string> Keep_Backup(const std::string& path, std::string_view tag = "unreadable");

// The folder that holds the running program.
std::string Program_Dir();

// The user's folder for the data of programs: $XDG_DATA_HOME when it is an absolute path, else
// ~/.local/share; %LOCALAPPDATA% on Windows. Empty when neither can be found.
std::string User_Data_Dir();

// The program's command-line arguments after its name, as UTF-8. On Windows they are read
// from the wide command line, since argv holds them in the machine's 8-bit code page.
std::vector<std::string> Program_Arguments(int argc, char* argv[]);

// Readies standard output for a command-line tool. Windows: binary mode, so that the bytes a
// command writes there (a CSV file with its CR LF, a report) arrive unchanged instead of every LF
// becoming CR LF; and UTF-8 for a console, since every text of the program is UTF-8. Elsewhere
// nothing to do.
void Prepare_Standard_Output();

// Whether a file is a plain one its users may change. Windows: the file carries no attribute
// other than hidden, system, archive, normal, sparse and not-content-indexed. Elsewhere, with no
// such attributes: a regular file, not a link (a reparse point), that someone may write (any
// write bit), so that a file an administrator installed counts for every user.
bool Is_Plain_Writable_File(const std::string& path);

#ifdef _WIN32
// UTF-8 and the UTF-16 of the wide Windows calls; bytes that are not UTF-8 become U+FFFD.
std::wstring Utf8_To_Wide(std::string_view utf8);
std::string Wide_To_Utf8(std::wstring_view wide);
#endif

} // namespace qm
