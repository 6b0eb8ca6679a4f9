// A small program for the Windows test of Start_Program:
//   qm_test_child exit N           ends with exit code N
//   qm_test_child args FILE ...    writes the arguments after FILE into FILE as [a][b]...
//   qm_test_child sleep MS FILE    writes its process id into FILE, then sleeps MS milliseconds

#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "common/file_io.h"

int main(int argc, char* argv[]) {
    const std::vector<std::string> args = qm::Program_Arguments(argc, argv);
    if (args.size() >= 2 && args[0] == "exit") {
        return std::atoi(args[1].c_str());
    }
    if (args.size() >= 2 && args[0] == "args") {
        std::string text;
        for (std::size_t i = 2; i < args.size(); ++i) {
            text += "[" + args[i] + "]";
        }
        return qm::Write_File_Atomic(args[1], text) ? 0 : 1;
    }
    if (args.size() >= 3 && args[0] == "sleep") {
        if (!qm::Write_File_Atomic(args[2], std::to_string(GetCurrentProcessId()))) {
            return 1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(args[1].c_str())));
        return 0;
    }
    return 2;
}
