// Opening and OK of the S7comm access window with both lists full (512 + 512 rules), on the
// offscreen platform, beside the row operations of the core grid.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUndoStack>

#include <string>

#include "common/file_io.h"
#include "language/lang_table.h"
#include "common/app_state.h"
#include "tables/grid_edit.h"
#include "tables/grid_view.h"
#include "tables/s7_protocol.h"
#include "tables/s7_protocol_window.h"
#include "tables/table_model.h"

namespace {

// Every rule enabled and valid, all on one PLC connection so that the check walks every row.
qm::Table_Row Rule(int columns, int i) {
    qm::Table_Row row(static_cast<std::size_t>(columns - 1));
    const bool write = columns == qm::S7_Write_Col::Col_Count;
    row[0] = "Y";
    row[1] = "127.0.0.1";
    row[2] = "102";
    row[3] = "S71500";
    row[4] = "0";
    row[5] = "1";
    row[6] = "Word";
    row[7] = "DB";
    row[8] = std::to_string(i + 1);
    row[9] = "Flags (M) (Merker)";
    row[10] = std::to_string(i * 2);
    row[11] = "0";
    row[12] = "1000";
    const std::size_t position = write ? 15 : 13;
    if (write) {
        row[13] = "Y";
        row[14] = "N";
    }
    row[position] = std::to_string(i % 1500);
    row[position + 1] = "0";
    row[position + 2] = "N";
    row[position + 3] = "Y";
    row[position + 4] = "Rule number " + std::to_string(i + 1);
    return row;
}

struct Full_Project {
    QTemporaryDir dir;
    Full_Project() {
        qm::State().Project.Project_Dir = dir.path().toStdString();
        qm::State().Project.S7_Protocol_File = qm::Path_Join(dir.path().toStdString(), "S7_Protocol.xml");
        qm::S7_Protocol_Data data = qm::Reset_S7_Protocol();
        for (int i = 0; i < qm::S7_Rows; ++i) {
            data.Read[static_cast<std::size_t>(i)] = Rule(qm::S7_Read_Col::Col_Count, i);
            data.Write[static_cast<std::size_t>(i)] = Rule(qm::S7_Write_Col::Col_Count, i);
        }
        qm::Save_S7_Protocol_File(qm::State().Project.S7_Protocol_File, data, false);
    }
};

// Show: reset of both tables, the Position lists, reading the file and filling the tables, then
// the first layout and paint.
void BM_S7_Window_Open(benchmark::State& state) {
    Full_Project project;
    qm::gui::S7_Protocol_Window window;
    for (auto _ : state) {
        window.show();
        QCoreApplication::processEvents();
        state.PauseTiming();
        window.hide();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    if (window.ACG_S7_Write->grid().Text(2, 512) != "127.0.0.1") {
        state.SkipWithError("the file was not loaded");
    }
}
BENCHMARK(BM_S7_Window_Open)->Unit(benchmark::kMillisecond);

// OK: the check of all 1024 rules and the save of the file.
void BM_S7_Window_OK(benchmark::State& state) {
    Full_Project project;
    qm::gui::S7_Protocol_Window window;
    for (auto _ : state) {
        state.PauseTiming();
        window.show();
        QCoreApplication::processEvents();
        state.ResumeTiming();
        window.Btn_OK->click();
        if (window.result() != QDialog::Accepted) {
            state.SkipWithError("OK did not pass");
            break;
        }
    }
}
BENCHMARK(BM_S7_Window_OK)->Unit(benchmark::kMillisecond);

// The marks after one cell edit: the edit through the model as typing ends it, which records the
// step and runs the every-cell check over all 1024 rules and updates the marks and the status line,
// then the repaint. The value alternates between a fault and a good one, so every edit changes a mark.
void BM_S7_Mark_After_Edit(benchmark::State& state) {
    Full_Project project;
    qm::gui::S7_Protocol_Window window;
    window.show();
    QCoreApplication::processEvents();
    qm::gui::Table_Model* model = window.ACG_S7_Write->Model();
    const QModelIndex port = model->Cell_Index(qm::S7_Write_Col::PLC_Port, 300);
    bool bad = false;
    for (auto _ : state) {
        bad = !bad;
        model->setData(port, bad ? QStringLiteral("65536") : QStringLiteral("102"), Qt::EditRole);
        QCoreApplication::processEvents();
    }
    if (window.Faults().size() > 1 || window.Undo_Stack->count() == 0) {
        state.SkipWithError("the edits were not marked");
    }
    window.reject();
}
BENCHMARK(BM_S7_Mark_After_Edit)->Unit(benchmark::kMillisecond);

// The marking alone, without the edit and its step.
void BM_S7_Mark_Faults(benchmark::State& state) {
    Full_Project project;
    qm::gui::S7_Protocol_Window window;
    window.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        window.Mark_Faults();
    }
    window.reject();
}
BENCHMARK(BM_S7_Mark_Faults)->Unit(benchmark::kMillisecond);

// Undo of Delete Row on row 1 of the full read table (the most rows to move back): the rows moved
// back, the view told, the cell made current and the faults marked again. With the argument 1 the
// repaint of the table that follows is timed too. The delete itself is not timed.
void BM_S7_Undo_Delete_Row(benchmark::State& state) {
    const bool paint = state.range(0) != 0;
    Full_Project project;
    qm::gui::S7_Protocol_Window window;
    window.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        state.PauseTiming();
        window.ACG_S7_Read->Set_Current_Cell(2, 1);
        window.ACG_S7_Read->Delete_Row();
        QCoreApplication::processEvents();
        state.ResumeTiming();
        window.Undo_Stack->undo();
        if (paint) {
            QCoreApplication::processEvents();
        }
    }
    if (window.ACG_S7_Read->grid().Text(18, 1) != "Rule number 1" ||
        window.ACG_S7_Read->grid().Text(18, 512) != "Rule number 512") {
        state.SkipWithError("the undo did not give the rows back");
    }
    window.reject();
}
BENCHMARK(BM_S7_Undo_Delete_Row)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The same repaint after a Delete Row, for comparison: what any change of every shown row costs.
void BM_S7_Repaint_After_Delete_Row(benchmark::State& state) {
    Full_Project project;
    qm::gui::S7_Protocol_Window window;
    window.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        state.PauseTiming();
        window.ACG_S7_Read->Set_Current_Cell(2, 1);
        window.ACG_S7_Read->Delete_Row();
        state.ResumeTiming();
        QCoreApplication::processEvents();
        state.PauseTiming();
        window.Undo_Stack->undo();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    window.reject();
}
BENCHMARK(BM_S7_Repaint_After_Delete_Row)->Unit(benchmark::kMillisecond);

// A row operation on a full 512-row table, as Insert Row does it (the first row, the most work).
void BM_Grid_Insert_Row(benchmark::State& state) {
    qm::Grid grid(qm::S7_Write_Col::Col_Count, qm::S7_Rows + 1);
    qm::Grid_Reset_Rows(grid, qm::Grid_Mode::Text);
    for (int r = 1; r <= qm::S7_Rows; ++r) {
        for (int c = 2; c < grid.Col_Count(); ++c) {
            grid.Set_Text(c, r, "value " + std::to_string(r));
        }
    }
    for (auto _ : state) {
        qm::Grid_Insert_Row(grid, 1, qm::Grid_Mode::Text, true);
        benchmark::DoNotOptimize(grid.Text(2, 2));
    }
}
BENCHMARK(BM_Grid_Insert_Row)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    qm::Load_Default_Strings();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
