#include "support/PlotFiles.h"

#include <cstdio>
#include <sstream>
#include <sys/wait.h>

namespace qv::test {

namespace {
std::string quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return out + "'";
}
}  // namespace

std::pair<std::string, int> runCommand(const std::string& commandLine) {
    std::string output;
    FILE* pipe = ::popen(commandLine.c_str(), "r");
    if (pipe == nullptr) {
        return {output, -1};
    }
    char buffer[4096];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        output.append(buffer, got);
    }
    const int status = ::pclose(pipe);
    return {output, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

std::optional<std::pair<double, double>> pdfPageSize(const std::string& posixPath) {
    const auto [output, status] = runCommand("pdfinfo " + quoted(posixPath) + " 2>/dev/null");
    if (status != 0) {
        return std::nullopt;
    }
    const size_t at = output.find("Page size:");
    if (at == std::string::npos) {
        return std::nullopt;
    }
    std::istringstream line(output.substr(at + 10));
    double width = 0.0, height = 0.0;
    std::string times;
    if (!(line >> width >> times >> height)) {
        return std::nullopt;
    }
    return std::make_pair(width, height);
}

std::optional<ImageProbe> probeImage(const std::string& posixPath,
                                     const std::vector<std::pair<int, int>>& points) {
    std::string script =
        "import sys\n"
        "from PIL import Image\n"
        "im = Image.open(sys.argv[1])\n"
        "print(im.width, im.height, im.format)\n"
        "rgb = im.convert('RGB')\n"
        "for p in sys.argv[2:]:\n"
        "    x, y = (int(v) for v in p.split(','))\n"
        "    print(*rgb.getpixel((x, y)))\n";
    std::string command = "/usr/bin/python3 -c " + quoted(script) + " " + quoted(posixPath);
    for (const auto& [x, y] : points) {
        command += " " + std::to_string(x) + "," + std::to_string(y);
    }
    const auto [output, status] = runCommand(command + " 2>/dev/null");
    if (status != 0) {
        return std::nullopt;
    }
    std::istringstream in(output);
    ImageProbe probe;
    if (!(in >> probe.width >> probe.height >> probe.format)) {
        return std::nullopt;
    }
    for (size_t i = 0; i < points.size(); ++i) {
        std::array<int, 3> c{};
        if (!(in >> c[0] >> c[1] >> c[2])) {
            return std::nullopt;
        }
        probe.rgb.push_back(c);
    }
    return probe;
}

}  // namespace qv::test
