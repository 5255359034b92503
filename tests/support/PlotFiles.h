// Reading plot files with programs this project did not write: PDF pages through poppler's
// pdfinfo, images (PNG, JPEG) through Python's PIL.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace qv::test {

// The first page's size in points as pdfinfo reports it; nothing when it cannot read the file.
std::optional<std::pair<double, double>> pdfPageSize(const std::string& posixPath);

struct ImageProbe {
    int width = 0, height = 0;
    std::string format;                     // "PNG", "JPEG"
    std::vector<std::array<int, 3>> rgb;    // the colours at the points asked for
};
// The image's size, format and the colours at pixel (x, y) of each point; nothing when PIL
// cannot read the file.
std::optional<ImageProbe> probeImage(const std::string& posixPath,
                                     const std::vector<std::pair<int, int>>& points = {});

// The output of a shell command line (standard output), and its exit status.
std::pair<std::string, int> runCommand(const std::string& commandLine);

}  // namespace qv::test
