#pragma once
// Parts of the program that only some actions need (the print preview, the version query, the
// PDF writer of the command-line tool) live in modules loaded on first use, so that starting the
// program does not load the libraries behind them.

#include <cstring>
#include <string>

namespace qm {

// The module's path: in the modules folder beside the program when installed, else beside the
// program (a build). Empty when neither holds it.
std::string Find_Module(const std::string& file_name);

// Loads the module (kept loaded until the process ends: Qt's threads and objects made by it may
// outlive the call) and returns the address of its entry point; nullptr with why not, naming
// the file, in message.
void* Load_Module_Entry(const std::string& file_name, const char* symbol, std::string& message);

// The entry point as the function type the caller expects.
template <typename Function>
Function Load_Module_Function(const std::string& file_name, const char* symbol, std::string& message) {
    static_assert(sizeof(Function) == sizeof(void*));
    void* address = Load_Module_Entry(file_name, symbol, message);
    Function entry = nullptr;
    std::memcpy(&entry, &address, sizeof entry); // an object pointer to a function pointer, portably
    return entry;
}

} // namespace qm
