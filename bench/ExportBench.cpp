// Times the commands that export and list every space block, through their handlers, on the
// generated floor plans of 5,000 to 40,000 rooms turned into space blocks (each room's door is
// an asset of it):
//   ocsv  the comma-separated file beside the drawing (the opener preference "NONE")
//   olb   the listing with the assets, ascending by handle
// The space blocks' texts are 0.25 high (the plans are in metres); olb is timed again on plans
// of 5,000 and 20,000 rooms whose texts are 250 high (the block creator's default text size),
// so that every space block reaches over the whole plan (BM_ListBlocksTextSize250).
//
//   export_bench [Google Benchmark flags]
#include <benchmark/benchmark.h>

#include <memory>
#include <optional>
#include <string>

#include "SpacePlan.h"
#include "host/CommandLine.h"
#include "host/ed/Editor.h"
#include "module/ListingCommands.h"
#include "ui/TerminalDriver.h"

namespace {

using qv::bench::entitiesOf;
using qv::bench::load;
using qv::bench::makeRooms;

// The same answers, again and again, for the prompts of a command.
class Answers : public qv::ui::LineSource {
  public:
    explicit Answers(std::string answer) : m_answer(std::move(answer)) {
        qv::host::ed::editor().input().setSource(this);
    }
    ~Answers() override { qv::host::ed::editor().input().setSource(nullptr); }
    Answers(const Answers&) = delete;
    Answers& operator=(const Answers&) = delete;
    std::optional<std::string> peekLine() override { return m_answer; }
    std::optional<std::string> readLine() override { return m_answer; }

  private:
    std::string m_answer;
};

// The plan of that many rooms as space blocks with texts of that size, named as a drawing beside
// the plans.
AcApDocument* spacePlan(int rooms, double textSize) {
    AcApDocument* document = load(rooms);
    makeRooms(document, entitiesOf(document->database(), L"AcDbPolyline"), textSize);
    std::wstring path = L"Z:" + std::wstring(CString(qv::bench::planOf(rooms).c_str()).GetString());
    for (wchar_t& c : path) {
        if (c == L'/')
            c = L'\\';
    }
    document->qvSetFileName(path);
    return document;
}

// Runs the handler on the plan; the run fails when `expected` is not printed.
void timeCommand(benchmark::State& state, void (*handler)(), const std::string& answer,
                 const std::wstring& expected, double textSize = 0.25) {
    const int rooms = static_cast<int>(state.range(0));
    spacePlan(rooms, textSize);
    Answers answers(answer);
    for (auto _ : state) {
        qv::host::transcript().clear();
        handler();
        state.PauseTiming();
        if (qv::host::transcript().text().find(expected) == std::wstring::npos) {
            state.SkipWithError("the command did not finish its work");
            break;
        }
        state.ResumeTiming();
    }
    qv::host::transcript().clear();
    acDocManager->qvReset();
    state.counters["rooms"] = rooms;
    state.counters["us_per_room"] = benchmark::Counter(
        rooms, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert,
        benchmark::Counter::kIs1000);
}

void BM_ExportCsv(benchmark::State& state) {
    timeCommand(state, createRoomAreaCSV, "", L"csv data successfully saved to file");
}

// The last space block's line of the listing.
std::wstring lastListed(const benchmark::State& state) {
    return L"ROOM-" + std::to_wstring(state.range(0)) + L",R-" + std::to_wstring(state.range(0));
}

void BM_ListBlocks(benchmark::State& state) {
    timeCommand(state, listBlockNameIdentifier, "y", lastListed(state));
}

void BM_ListBlocksTextSize250(benchmark::State& state) {
    timeCommand(state, listBlockNameIdentifier, "y", lastListed(state), 250.0);
}

BENCHMARK(BM_ExportCsv)
    ->Arg(5000)
    ->Arg(10000)
    ->Arg(20000)
    ->Arg(40000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(BM_ListBlocks)
    ->Arg(5000)
    ->Arg(10000)
    ->Arg(20000)
    ->Arg(40000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(BM_ListBlocksTextSize250)
    ->Arg(5000)
    ->Arg(20000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
