#include "host/plot/DwfPackage.h"

#include <zip.h>

#include <charconv>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>

#include "win32/CodePage.h"

namespace qv::host::plot {

namespace {

constexpr char kFileHeader[] = "(DWF V06.00)";
constexpr char kEPlotInterface[] = "715941D4-1AC2-4545-8185-BC40E053B551";
constexpr char kEPlotSection[] = "com.autodesk.dwf.ePlot";

// Text for an XML attribute: the markup characters escaped, control characters as blanks, and
// what XML has no place for (U+FFFE, U+FFFF, halves of surrogate pairs, bytes that are no UTF-8)
// as the replacement character.
std::string escaped(const std::string& text) {
    std::wstring out;
    out.reserve(text.size());
    for (const wchar_t c : utf8ToWide(text)) {
        const auto code = static_cast<uint32_t>(c);
        switch (c) {
            case L'&':
                out += L"&amp;";
                break;
            case L'<':
                out += L"&lt;";
                break;
            case L'>':
                out += L"&gt;";
                break;
            case L'"':
                out += L"&quot;";
                break;
            default:
                if (code < 0x20) {
                    out += L' ';
                } else if ((code >= 0xD800 && code <= 0xDFFF) || code == 0xFFFE ||
                           code == 0xFFFF || code > 0x10FFFF) {
                    out += L'\uFFFD';
                } else {
                    out += c;
                }
                break;
        }
    }
    return wideToUtf8(out);
}

std::string number(double value) {
    char buffer[32];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value,
                                            std::chars_format::general, 10);
    return error == std::errc() ? std::string(buffer, end) : "0";
}

std::string newGuid(std::mt19937_64& random) {
    const uint64_t high = random(), low = random();
    char text[40];
    std::snprintf(text, sizeof text, "%08X-%04X-%04X-%04X-%012llX",
                  static_cast<unsigned>(high >> 32), static_cast<unsigned>((high >> 16) & 0xFFFF),
                  static_cast<unsigned>((high & 0x0FFF) | 0x4000),
                  static_cast<unsigned>(((low >> 48) & 0x3FFF) | 0x8000),
                  static_cast<unsigned long long>(low & 0xFFFFFFFFFFFFULL));
    return text;
}

struct PageNames {
    std::string id, section, descriptor, graphics;
};

std::string descriptorXml(const DwfPage& page, const PageNames& names, int order) {
    const double s = page.logicalPerUnit > 0.0 ? 1.0 / page.logicalPerUnit : 1.0;
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    xml += "<ePlot:Page xmlns:ePlot=\"DWF-ePlot:1.2\" version=\"1.2\" name=\"" +
           escaped(page.name) + "\" objectId=\"" + names.id + "\" plotOrder=\"" +
           std::to_string(order) + "\">\n";
    xml += "  <ePlot:Paper units=\"" + page.paperUnits + "\" width=\"" +
           number(page.paperWidth) + "\" height=\"" + number(page.paperHeight) + "\" clip=\"" +
           number(page.plotted[0]) + " " + number(page.plotted[1]) + " " +
           number(page.plotted[2]) + " " + number(page.plotted[3]) +
           "\" color=\"255 255 255\"/>\n";
    xml += "  <ePlot:Resources>\n";
    xml += "    <ePlot:GraphicResource role=\"2d streaming graphics\" mime=\"application/x-w2d\""
           " href=\"" + names.graphics + "\" objectId=\"" + names.id + "\" size=\"" +
           std::to_string(page.graphics.size()) + "\" zOrder=\"1\" transform=\"" + number(s) +
           " 0 0 0 0 " + number(s) + " 0 0 0 0 1 0 0 0 0 1\" extents=\"" +
           std::to_string(page.extents[0]) + " " + std::to_string(page.extents[1]) + " " +
           std::to_string(page.extents[2]) + " " + std::to_string(page.extents[3]) + "\"/>\n";
    xml += "  </ePlot:Resources>\n</ePlot:Page>\n";
    return xml;
}

std::string manifestXml(const std::vector<DwfPage>& pages, const std::vector<PageNames>& names,
                        const std::string& packageId, const std::string& source) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    xml += "<dwf:Manifest xmlns:dwf=\"DWF-Manifest:6.0\" version=\"6.0\" objectId=\"" +
           packageId + "\">\n";
    xml += std::string("  <dwf:Interfaces>\n    <dwf:Interface name=\"ePlot\" href=\""
                       "http://www.autodesk.com/viewers\" objectId=\"") +
           kEPlotInterface + "\"/>\n  </dwf:Interfaces>\n";
    xml += "  <dwf:Sections>\n";
    for (size_t i = 0; i < pages.size(); ++i) {
        xml += "    <dwf:Section type=\"" + std::string(kEPlotSection) + "\" name=\"" +
               names[i].section + "\" title=\"" + escaped(pages[i].name) + "\">\n";
        xml += "      <dwf:Source href=\"" + escaped(source) + "\" provider=\"cadhost\"/>\n";
        xml += "      <dwf:Toc>\n";
        xml += "        <dwf:Resource role=\"descriptor\" mime=\"text/xml\" href=\"" +
               names[i].descriptor + "\"/>\n";
        xml += "        <dwf:Resource role=\"2d streaming graphics\" mime=\"application/x-w2d\""
               " href=\"" + names[i].graphics + "\"/>\n";
        xml += "      </dwf:Toc>\n    </dwf:Section>\n";
    }
    xml += "  </dwf:Sections>\n</dwf:Manifest>\n";
    return xml;
}

struct ArchiveDeleter {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
struct SourceDeleter {
    void operator()(zip_source_t* source) const { zip_source_free(source); }
};

// The ZIP archive of the entries (name, bytes), in memory. Empty on success, else why not.
std::string zipArchive(const std::vector<std::pair<std::string, const std::string*>>& entries,
                       std::string& bytes) {
    zip_error_t error;
    zip_error_init(&error);
    std::unique_ptr<zip_source_t, SourceDeleter> buffer(
        zip_source_buffer_create(nullptr, 0, 0, &error));
    if (!buffer) {
        return "the package cannot be made";
    }
    std::unique_ptr<zip_t, ArchiveDeleter> archive(
        zip_open_from_source(buffer.get(), ZIP_TRUNCATE, &error));
    if (!archive) {
        return "the package cannot be made";
    }
    zip_source_keep(buffer.get());  // the archive gives its reference back when it closes
    for (const auto& [name, data] : entries) {
        zip_source_t* entry = zip_source_buffer(archive.get(), data->data(), data->size(), 0);
        if (entry == nullptr) {
            return std::string("the package cannot be made: ") + zip_strerror(archive.get());
        }
        if (zip_file_add(archive.get(), name.c_str(), entry, ZIP_FL_ENC_UTF_8) < 0) {
            zip_source_free(entry);
            return std::string("the package cannot be made: ") + zip_strerror(archive.get());
        }
    }
    if (zip_close(archive.get()) != 0) {
        return std::string("the package cannot be made: ") + zip_strerror(archive.get());
    }
    (void)archive.release();  // closed, and freed by zip_close
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_source_stat(buffer.get(), &stat) != 0 || zip_source_open(buffer.get()) != 0) {
        return "the package cannot be read back";
    }
    bytes.resize(static_cast<size_t>(stat.size));
    const zip_int64_t read = zip_source_read(buffer.get(), bytes.data(), stat.size);
    zip_source_close(buffer.get());
    if (read < 0 || static_cast<zip_uint64_t>(read) != stat.size) {
        return "the package cannot be read back";
    }
    return {};
}

}  // namespace

std::string writeDwfPackage(const std::string& path, const std::vector<DwfPage>& pages,
                            const std::string& source) {
    if (pages.empty()) {
        return "the package has no page";
    }
    std::random_device seed;
    std::mt19937_64 random((static_cast<uint64_t>(seed()) << 32) ^ seed());
    const std::string packageId = newGuid(random);
    std::vector<PageNames> names;
    std::vector<std::string> descriptors;
    for (size_t i = 0; i < pages.size(); ++i) {
        PageNames n;
        n.id = newGuid(random);
        n.section = std::string(kEPlotSection) + "_" + n.id;
        n.descriptor = n.section + "/descriptor.xml";
        n.graphics = n.section + "/" + n.id + ".w2d";
        descriptors.push_back(descriptorXml(pages[i], n, static_cast<int>(i) + 1));
        names.push_back(std::move(n));
    }
    const std::string manifest = manifestXml(pages, names, packageId, source);
    std::vector<std::pair<std::string, const std::string*>> entries{{"manifest.xml", &manifest}};
    for (size_t i = 0; i < pages.size(); ++i) {
        entries.emplace_back(names[i].descriptor, &descriptors[i]);
        entries.emplace_back(names[i].graphics, &pages[i].graphics);
    }
    std::string archive;
    if (std::string why = zipArchive(entries, archive); !why.empty()) {
        return why;
    }

    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return "the file cannot be created";
    }
    const size_t header = sizeof kFileHeader - 1;
    bool written = std::fwrite(kFileHeader, 1, header, file) == header &&
                   std::fwrite(archive.data(), 1, archive.size(), file) == archive.size();
    written = std::fflush(file) == 0 && written;
    const int error = errno;
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        const int reason = written ? errno : error;
        std::remove(path.c_str());
        return std::string("the file cannot be written: ") + std::strerror(reason);
    }
    return {};
}

}  // namespace qv::host::plot
