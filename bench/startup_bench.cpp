// Usage: startup_bench [benchmark flags]
//        startup_bench --once      starts up once as the program does, shows the main window
//                                  and exits (for timing the whole process with hyperfine)
//        startup_bench --ratio [N] starts N processes of startup_program, which starts up as the
//                                  program does and is linked as it is, and N of startup_bare,
//                                  a program that links Qt Widgets alone and
//                                  shows a bare window of the same size, alternately, and prints
//                                  the medians of the time from exec to the window on screen and
//                                  of the resident memory once the event loop has settled, and
//                                  the program's ratios to the bare window. Uses the display the environment names
//                                  (run under Xvfb for a real X server), else offscreen.
//
// The program's start-up as main.cpp does it, on the offscreen platform: the main window
// (workspace folders, Quillmaker.xml, the string table and a language file, the remembered
// configuration) and every other window, then the first showing of the main window.
// The program folder is a temporary one with the shipped language files and settings that
// name a language file and a configuration, so that start-up reads everything it can read.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QWidget>
#include <QWindow>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include <algorithm>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

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

struct Child_Figures {
    double ms = 0;      // exec to the window on screen
    double rss_mib = 0; // resident memory once the event loop has settled
};

// Starts a child of --ratio: the configurator's or the bare window's program beside this one;
// nullopt when it failed.
std::optional<Child_Figures> Measure_Child(const char* self, bool bare, const std::string& exe_dir) {
    int fds[2];
    if (::pipe(fds) != 0) {
        return std::nullopt;
    }
    const std::string fd = std::to_string(fds[1]);
    const std::string bare_program = (fs::path(self).parent_path() / "startup_bare").string();
    const std::string program = (fs::path(self).parent_path() / "startup_program").string();
    const char* program_args[] = {program.c_str(), exe_dir.c_str(), fd.c_str(), nullptr};
    const char* bare_args[] = {bare_program.c_str(), fd.c_str(), nullptr};
    const char* const* args = bare ? bare_args : program_args;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (::posix_spawn(&pid, args[0], nullptr, nullptr, const_cast<char* const*>(args), environ) != 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return std::nullopt;
    }
    ::close(fds[1]);
    char byte = 0;
    const ssize_t n = ::read(fds[0], &byte, 1);
    const std::chrono::duration<double, std::milli> shown = std::chrono::steady_clock::now() - start;
    std::string rss;
    char chunk[32];
    for (ssize_t got; (got = ::read(fds[0], chunk, sizeof chunk)) > 0;) {
        rss.append(chunk, static_cast<std::size_t>(got));
    }
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (n != 1 || byte != 'y' || !WIFEXITED(status) || WEXITSTATUS(status) != 0 || rss.empty()) {
        return std::nullopt;
    }
    return Child_Figures{shown.count(), std::atof(rss.c_str()) / 1024.0};
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

int Run_Ratio(const char* self, int runs) {
    const Program_Folder folder;
    std::vector<double> program_ms, program_mib, bare_ms, bare_mib;
    for (int i = 0; i < runs; ++i) {
        // Alternately, so that a change in the machine's load touches both alike.
        for (const bool bare : {false, true}) {
            const auto figures = Measure_Child(self, bare, folder.dir.string());
            if (!figures) {
                std::fprintf(stderr, "startup_bench: a %s start-up failed\n", bare ? "bare window" : "program");
                return 1;
            }
            (bare ? bare_ms : program_ms).push_back(figures->ms);
            (bare ? bare_mib : program_mib).push_back(figures->rss_mib);
        }
    }
    const double pm = Median(program_ms), bm = Median(bare_ms), pr = Median(program_mib), br = Median(bare_mib);
    std::printf("platform %s, %d runs each, medians\n", qgetenv("QT_QPA_PLATFORM").constData(), runs);
    std::printf("  bare window: %7.1f ms to the screen, %6.1f MiB resident\n", bm, br);
    std::printf("  program:     %7.1f ms to the screen, %6.1f MiB resident\n", pm, pr);
    std::printf("  ratios:      %7.2fx time,            %6.2fx memory\n", pm / bm, pr / br);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    // The display the environment names; offscreen where there is none.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", qEnvironmentVariableIsEmpty("DISPLAY") ? "offscreen" : "xcb");
    }
    if (argc >= 2 && std::strcmp(argv[1], "--ratio") == 0) {
        return Run_Ratio(argv[0], argc >= 3 ? std::max(1, std::atoi(argv[2])) : 20);
    }
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
