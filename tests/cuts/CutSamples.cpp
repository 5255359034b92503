// Cuts every ASCII sample drawing at many points spread over the file, loads each cut through the
// host's reader and saves it with the host's writer, so that a program that is not the host
// (ezdxf, see tests/CMakeLists.txt) can check what the host wrote of damaged input.
//
//   qv_cut_samples SAMPLES OUT [CUTS]
//
// Writes OUT/<drawing>@<length>.dxf for each cut (CUTS per drawing, 120 unless given). Exits 1
// when a cut is refused or cannot be saved, naming it.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "host/db/AcDbDatabase.h"
#include "host/dxf/AuditReport.h"
#include "host/dxf/DrawingReader.h"
#include "host/dxf/DrawingWriter.h"
#include "host/dxf/DxfError.h"
#include "host/dxf/FileIo.h"

namespace fs = std::filesystem;

namespace {

bool isBinary(const std::string& bytes) {
    return bytes.starts_with("AutoCAD Binary DXF");
}

// `count` lengths spread evenly over a file of `size` bytes, each cutting something off.
std::vector<size_t> cutLengths(size_t size, size_t count) {
    std::vector<size_t> lengths;
    for (size_t k = 1; k <= count; ++k) {
        lengths.push_back(k * size / (count + 1));
    }
    lengths.erase(std::unique(lengths.begin(), lengths.end()), lengths.end());
    return lengths;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        std::cerr << "usage: qv_cut_samples SAMPLES OUT [CUTS]\n";
        return 2;
    }
    const fs::path samples = argv[1];
    const fs::path out = argv[2];
    const size_t count = argc == 4 ? std::stoul(argv[3]) : 120;
    fs::remove_all(out);
    fs::create_directories(out);

    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(samples)) {
        if (entry.path().extension() == ".dxf") {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    int failures = 0;
    size_t cuts = 0, drawings = 0;
    for (const fs::path& file : files) {
        const std::string bytes = qv::dxf::readWholeFile(file.string());
        if (isBinary(bytes)) {
            continue;
        }
        ++drawings;
        const std::vector<size_t> lengths = cutLengths(bytes.size(), count);
        if (lengths.size() < std::min(count, bytes.size() - 1)) {
            std::cerr << file.filename().string() << ": too few distinct cuts\n";
            ++failures;
        }
        for (const size_t length : lengths) {
            const std::string name =
                file.stem().string() + "@" + std::to_string(length) + ".dxf";
            try {
                AcDbDatabase db(false, true);
                qv::dxf::AuditReport report;
                qv::dxf::readDrawing(std::string_view(bytes).substr(0, length), db, report);
                std::ofstream(out / name, std::ios::binary) << qv::dxf::writeDrawing(db);
                ++cuts;
            } catch (const std::exception& error) {
                std::cerr << name << ": " << error.what() << "\n";
                ++failures;
            }
        }
    }
    std::cout << cuts << " cuts of " << drawings << " drawings saved\n";
    return failures == 0 && drawings > 0 ? 0 : 1;
}
