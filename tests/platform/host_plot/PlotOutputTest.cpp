// What a plot does to the file it is given when it cannot write it: the old file survives, a
// file the plot did not make is never removed, and the host goes on.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include <set>

#include "PlotFixture.h"
#include "support/SmallDisk.h"

namespace {

class PlotOutputTest : public qv::test::PlotFixture {
  protected:
    void SetUp() override {
        addToModelSpace(new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(100, 50, 0)));
        setSettings(modelLayoutId(), L"DWG To PDF.pc3", L"ISO_A4_(297.00_x_210.00_MM)",
                    AcDbPlotSettings::kExtents);
        resbuf value{};
        value.restype = RTSHORT;
        value.resval.rint = 0;
        acedSetVar(L"FILEDIA", &value);
    }
    // Runs EXPORT to C:\<relative>; true when it says it exported.
    bool exportTo(const std::string& relative) {
        qv::host::transcript().clear();
        std::wstring path = L"C:\\";
        for (char c : relative) {
            path += c == '/' ? L'\\' : static_cast<wchar_t>(c);
        }
        acedCommand(RTSTR, L"_EXPORT", RTSTR, path.c_str(), RTNONE);
        const std::wstring text = qv::host::transcript().text();
        EXPECT_NE(text.find(L"xport"), std::wstring::npos) << text;
        return text.find(L"Exported ") != std::wstring::npos;
    }
    std::set<std::string> namesIn(const std::string& relative) {
        std::set<std::string> names = drive.names(relative);
        names.erase(".filler");
        return names;
    }
};

const char* const kExtensions[] = {"pdf", "png", "jpg", "dwf"};

// While it lives, no file may grow beyond so many bytes: a write past them fails (EFBIG) as on
// a full disk, without a disk to fill.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        m_signal = std::signal(SIGXFSZ, SIG_IGN);  // the failing write is enough
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        m_set = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_signal);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool set() const { return m_set; }

  private:
    rlimit m_old{};
    void (*m_signal)(int) = SIG_DFL;
    bool m_set = false;
};

// A full disk fails the export; the old file stays as it was and no temporary file is left.
TEST_F(PlotOutputTest, FullDiskFailsTheExportAndKeepsTheOldFile) {
    drive.makeFolder("full");
    qv::test::SmallDisk disk(drive.posix("full"));
    if (!disk.mounted()) {
        GTEST_SKIP() << disk.skipReason();
    }
    for (const char* extension : kExtensions) {
        drive.writeFile(std::string("full/plan.") + extension, "old");
    }
    disk.fill();
    for (const char* extension : kExtensions) {
        SCOPED_TRACE(extension);
        const std::string file = std::string("full/plan.") + extension;
        EXPECT_FALSE(exportTo(file));
        EXPECT_NE(qv::host::transcript().text().find(L"No space left on device"),
                  std::wstring::npos)
            << qv::host::transcript().text();
        EXPECT_EQ(drive.readFile(file), "old");
    }
    EXPECT_EQ(namesIn("full"),
              (std::set<std::string>{"plan.pdf", "plan.png", "plan.jpg", "plan.dwf"}));
}

// A device whose file is cut short half-way fails the export with the reason; what it wrote is
// never put in place of the old file, which stays as it was, and no temporary file is left.
TEST_F(PlotOutputTest, AFileCutShortNeverReplacesTheOldFile) {
    drive.makeFolder("cut");
    for (const char* extension : kExtensions) {
        drive.writeFile(std::string("cut/plan.") + extension, "old");
    }
    for (const char* extension : kExtensions) {
        SCOPED_TRACE(extension);
        {
            FileSizeLimit limit(512);  // every plot file is longer
            ASSERT_TRUE(limit.set());
            EXPECT_FALSE(exportTo(std::string("cut/plan.") + extension));
        }
        EXPECT_NE(qv::host::transcript().text().find(L"File too large"), std::wstring::npos)
            << qv::host::transcript().text();
        EXPECT_TRUE(drive.readFile(std::string("cut/plan.") + extension) == "old")
            << "the old file was replaced";
    }
    EXPECT_EQ(namesIn("cut"),
              (std::set<std::string>{"plan.pdf", "plan.png", "plan.jpg", "plan.dwf"}));
}

// Paths that are refused before anything is written, and left exactly as they were: a
// read-only file, a named pipe (which would block the host), the drawing itself through a link.
TEST_F(PlotOutputTest, RefusedTargetsAreLeftAsTheyWere) {
    drive.writeFile("plan.dwg", "drawing");
    db()->qvSetFileName(L"C:\\plan.dwg");
    for (const char* extension : kExtensions) {
        SCOPED_TRACE(extension);
        const std::string readOnly = std::string("ro.") + extension;
        drive.writeFile(readOnly, "old");
        ::chmod(drive.posix(readOnly).c_str(), 0444);
        EXPECT_FALSE(exportTo(readOnly));
        EXPECT_EQ(drive.readFile(readOnly), "old");

        const std::string pipe = std::string("pipe.") + extension;
        ASSERT_EQ(::mkfifo(drive.posix(pipe).c_str(), 0644), 0);
        EXPECT_FALSE(exportTo(pipe));
        struct stat st {};
        EXPECT_TRUE(::lstat(drive.posix(pipe).c_str(), &st) == 0 && S_ISFIFO(st.st_mode));

        const std::string link = std::string("own.") + extension;
        ASSERT_EQ(::symlink(drive.posix("plan.dwg").c_str(), drive.posix(link).c_str()), 0);
        EXPECT_FALSE(exportTo(link));
        EXPECT_EQ(drive.readFile("plan.dwg"), "drawing");
    }
    EXPECT_EQ(namesIn("").size(), 13u);  // the drawing and the twelve files above, nothing more
}

// Through a link to another file the plot replaces that file and the link stays a link.
TEST_F(PlotOutputTest, ExportThroughALinkReplacesItsTarget) {
    drive.writeFile("real.pdf", "old");
    ASSERT_EQ(::symlink(drive.posix("real.pdf").c_str(), drive.posix("link.pdf").c_str()), 0);
    EXPECT_TRUE(exportTo("link.pdf"));
    struct stat st {};
    EXPECT_TRUE(::lstat(drive.posix("link.pdf").c_str(), &st) == 0 && S_ISLNK(st.st_mode));
    EXPECT_EQ(drive.readFile("real.pdf").substr(0, 5), "%PDF-");
}

}  // namespace
