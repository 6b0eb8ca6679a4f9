// Usage: startup_bench [benchmark flags]
//        startup_bench --once      starts up once as the program does, shows the main window
//                                  and exits (for timing the whole process with hyperfine)
//
// The program's start-up as main.cpp does it, on the offscreen platform: the main window
// (workspace folders, Quillmaker.xml, the string table and a language file, the remembered
// configuration) and every other window, then the first showing of the main window.
// The program folder is a temporary one with the shipped language files and settings that
// name a language file and a configuration, so that start-up reads everything it can read.

#include <benchmark/benchmark.h>

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include <unistd.h>

#include "common/file_io.h"
#include "common/app_state.h"
#include "shell/main_window.h"
#include "shell/program_windows.h"
#include "shell/settings.h"

namespace {
namespace fs = std::filesystem;

struct Program_Folder {
    fs::path dir = fs::temp_directory_path() / ("qm_startup_bench_" + std::to_string(::getpid()));

    Program_Folder() {
        fs::create_directories(dir / "PROJECTS" / "Plant" / "bin");
        fs::create_directories(dir / "MASTER");
        fs::copy(fs::path(QM_SOURCE_DIR) / "LANGUAGE", dir / "LANGUAGE", fs::copy_options::recursive);
        qm::Settings_Data settings;
        settings.Project_Name = "Plant";
        settings.Language = "Italiano";
        qm::Write_File_Atomic(qm::Path_Join(dir.string(), "Quillmaker.xml"), qm::Settings_To_Xml(settings));
    }
    ~Program_Folder() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    Program_Folder(const Program_Folder&) = delete;
    Program_Folder& operator=(const Program_Folder&) = delete;
};

// What main.cpp does before it enters the event loop; the first paint included.
std::unique_ptr<qm::gui::Main_Window> Start_Program(const std::string& exe_dir) {
    qm::State() = qm::App_State{}; // start-up expects the state of a fresh process
    auto main_window = std::make_unique<qm::gui::Main_Window>(exe_dir);
    qm::gui::Create_Program_Windows(*main_window);
    main_window->show();
    QCoreApplication::processEvents();
    return main_window;
}

void BM_Start_Up(benchmark::State& state) {
    const Program_Folder folder;
    const std::string exe_dir = folder.dir.string();
    for (auto _ : state) {
        auto main_window = Start_Program(exe_dir);
        state.PauseTiming();
        if (qm::State().Project.Project_Dir.empty() || !main_window->Start_Up_Problem().isEmpty()) {
            state.SkipWithError("start-up did not read its settings, language or configuration");
            break;
        }
        main_window.reset(); // the other windows are its children
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Start_Up)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const bool once = argc == 2 && std::strcmp(argv[1], "--once") == 0;
    const auto before = std::chrono::steady_clock::now();
    QApplication app(argc, argv);
    const std::chrono::duration<double, std::milli> application = std::chrono::steady_clock::now() - before;
    if (once) {
        const Program_Folder folder;
        const auto main_window = Start_Program(folder.dir.string());
        return main_window->isVisible() ? 0 : 1;
    }
    // Made once per process, so it is printed rather than repeated.
    std::fprintf(stderr, "QApplication created in %.2f ms\n", application.count());
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
