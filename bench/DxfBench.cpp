// Times reading a large floor plan into the host's database and writing it from there, compares
// with ezdxf on the same file in the same run, and measures the peak memory of a read in a fresh
// process.
//
//   dxf_bench [--file FILE] [--no-ezdxf] [--ezdxf-runs N] [Google Benchmark flags]
//   dxf_bench --peak-memory FILE      (used by the run itself: prints the peak in bytes)
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "host/db/AcDbDatabase.h"
#include "host/dxf/DrawingReader.h"
#include "host/dxf/DrawingWriter.h"
#include "host/dxf/FileIo.h"

extern char** environ;

namespace {

using namespace qv::dxf;

std::string g_file = QV_FLOORPLAN;
std::string g_tempDir;

// The operations timed, in one place.
// Reads the drawing as the host opens one: from the mapped file, into a new database.
void readInto(AcDbDatabase& db, const std::string& path) {
    MappedFile file(path);
    AuditReport report;
    readDrawing(file, db, report);
}

std::unique_ptr<AcDbDatabase> loaded() {
    auto db = std::make_unique<AcDbDatabase>(false, true);
    readInto(*db, g_file);
    return db;
}

// Freeing the database is not part of reading, nor is the merging of its freed blocks that the
// allocator leaves to the next larger allocation (the timing of ezdxf, too, collects the
// documents it read before each run).
void BM_Read(benchmark::State& state) {
    for (auto _ : state) {
        auto db = std::make_unique<AcDbDatabase>(false, true);
        readInto(*db, g_file);
        state.PauseTiming();
        db.reset();
        void* merging = std::malloc(4096);  // a block of that size has the freed blocks merged
        benchmark::DoNotOptimize(merging);
        std::free(merging);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(std::filesystem::file_size(g_file)));
}

void BM_Write(benchmark::State& state) {
    const auto db = loaded();
    size_t bytes = 0;
    for (auto _ : state) {
        std::string text = writeDrawing(*db);
        bytes = text.size();
        benchmark::DoNotOptimize(text);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

void BM_Save(benchmark::State& state) {
    const auto db = loaded();
    const std::string target = g_tempDir + "/saved.dxf";
    // As the host saves: the text goes to the file as it is written.
    struct Sink : DrawingSink {
        FileReplacement* file = nullptr;
        void write(std::string_view text) override { file->write(text); }
        void overwrite(size_t offset, std::string_view text) override {
            file->overwrite(offset, text);
        }
    } sink;
    for (auto _ : state) {
        FileReplacement file(target);
        sink.file = &file;
        writeDrawing(*db, sink);
        file.commit();
    }
}

BENCHMARK(BM_Read)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Write)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond);

// Keeps the best real time of each benchmark, in seconds.
class Collector : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            const double seconds =
                run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
            const std::string name = run.benchmark_name();
            if (!times.count(name) || seconds < times[name]) {
                times[name] = seconds;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

std::string runCommand(const std::vector<std::string>& args) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        return {};
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    std::vector<char*> argv;
    for (const std::string& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    std::string out;
    if (rc == 0) {
        char buffer[4096];
        ssize_t n;
        while ((n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0) {
            out.append(buffer, static_cast<size_t>(n));
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            out.clear();
        }
    }
    ::close(pipeFds[0]);
    return out;
}

// A number from a flat JSON object.
double jsonNumber(const std::string& json, const std::string& key) {
    const size_t at = json.find("\"" + key + "\":");
    return at == std::string::npos ? 0.0 : std::atof(json.c_str() + at + key.size() + 3);
}

long statusKb(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0) {
            return std::atol(line.c_str() + std::strlen(field));
        }
    }
    return 0;
}

int peakMemory(const std::string& path) {
    const long before = statusKb("VmRSS:");
    AcDbDatabase db(false, true);
    readInto(db, path);
    const long peak = statusKb("VmHWM:");
    std::cout << (peak - before) * 1024 << "\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--peak-memory") {
        return peakMemory(argv[2]);
    }
    bool ezdxf = true;
    int ezdxfRuns = 2;
    std::vector<char*> rest = {argv[0]};
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--file" && i + 1 < argc) {
            g_file = argv[++i];
        } else if (arg == "--no-ezdxf") {
            ezdxf = false;
        } else if (arg == "--ezdxf-runs" && i + 1 < argc) {
            ezdxfRuns = std::atoi(argv[++i]);
        } else {
            rest.push_back(argv[i]);
        }
    }
    char tempPattern[] = "/tmp/qv-dxf-bench-XXXXXX";
    if (!::mkdtemp(tempPattern)) {
        std::perror("mkdtemp");
        return 1;
    }
    g_tempDir = tempPattern;
    int restCount = static_cast<int>(rest.size());
    benchmark::Initialize(&restCount, rest.data());
    const double megabytes = static_cast<double>(std::filesystem::file_size(g_file)) / 1e6;
    std::printf("file: %s (%.1f MB)\n", g_file.c_str(), megabytes);
    Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    std::filesystem::remove_all(g_tempDir);

    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    const double peak = std::atof(runCommand({self, "--peak-memory", g_file}).c_str());
    std::printf("\npeak memory of a read: %.1f MB = %.2f x the file\n", peak / 1e6,
                peak / 1e6 / megabytes);

    // Only what ran is reported (a --benchmark_filter may skip some), each beside ezdxf's time.
    const struct {
        const char* label;
        const char* benchmark;
        const char* ezdxfKey;
        bool rate;                // MB/s beside the time
        const char* goal;         // of the ratio, or null
    } measures[] = {{"read", "BM_Read", "read", true, "50x"},
                    {"write", "BM_Write", "write", true, "30x"},
                    {"save", "BM_Save", "save", false, nullptr}};
    std::vector<std::pair<size_t, double>> ran;  // (measure, seconds)
    for (size_t i = 0; i < std::size(measures); ++i) {
        const auto found = collector.times.find(measures[i].benchmark);
        if (found != collector.times.end() && found->second > 0.0) {
            ran.emplace_back(i, found->second);
        }
    }
    if (ran.empty()) {
        std::printf("ours: no benchmark ran\n");
        return 0;
    }
    auto line = [&](const char* who, const std::vector<double>& seconds) {
        std::printf("%s", who);
        for (size_t k = 0; k < ran.size(); ++k) {
            const auto& m = measures[ran[k].first];
            std::printf("%s %s %.1f ms", k == 0 ? "" : ",", m.label, seconds[k] * 1e3);
            if (m.rate) {
                std::printf(" (%.1f MB/s)", megabytes / seconds[k]);
            }
        }
        std::printf("\n");
    };
    std::vector<double> ours;
    for (const auto& r : ran) {
        ours.push_back(r.second);
    }
    line("ours: ", ours);
    if (!ezdxf) {
        return 0;
    }
    const std::string json =
        runCommand({"/usr/bin/python3", QV_EZDXF_TIMING, g_file, std::to_string(ezdxfRuns)});
    if (json.empty()) {
        std::printf("ezdxf: could not be timed (is python3-ezdxf installed?)\n");
        return 1;
    }
    std::vector<double> theirs;
    for (const auto& r : ran) {
        theirs.push_back(jsonNumber(json, measures[r.first].ezdxfKey));
    }
    line("ezdxf:", theirs);
    std::printf("ratio:");
    for (size_t k = 0; k < ran.size(); ++k) {
        const auto& m = measures[ran[k].first];
        std::printf("%s %s %.0fx", k == 0 ? "" : ",", m.label, theirs[k] / ours[k]);
        if (m.goal != nullptr) {
            std::printf(" (goal %s)", m.goal);
        }
    }
    std::printf("\n");
    return 0;
}
