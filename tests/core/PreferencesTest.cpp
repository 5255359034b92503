#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "core/Preferences.h"
#include "host/CommandLine.h"
#include "support/TempDrive.h"

using namespace std::string_literals;

namespace {

const CString PATH = L"C:\\orvan\\prefs\\prefs.cfg";
const std::string POSIX_PATH = "orvan/prefs/prefs.cfg";

const std::string COMMENTS =
    "//\tOrvan space management preferences - Orvan 2001\r\n"
    "//\r\n"
    "//\tConfiguration file for Document Monitor\r\n"
    "//\r\n";

// The fields of a CPreferences, to compare whole sets at once.
struct Values {
    int units;
    int precision;
    double textSize;
    double textScale;
    double textRotation;
    int inc;
    CString csvOpener;
    double zoomBorder;
    bool operator==(const Values&) const = default;
};

void PrintTo(const Values& v, std::ostream* os) {
    *os << "{units " << v.units << ", precision " << v.precision << ", size " << v.textSize
        << ", scale " << v.textScale << ", rotation " << v.textRotation << ", inc " << v.inc
        << ", csv " << v.csvOpener << ", border " << v.zoomBorder << "}";
}

Values valuesOf(const CPreferences& p) {
    return {p.getUnits(),        p.getPrecision(), p.getTextSize(),  p.getTextScale(),
            p.getTextRotation(), p.getInc(),       p.getCsvOpener(), p.getZoomBorder()};
}

void setValues(CPreferences& p, const Values& v) {
    p.setUnits(v.units);
    p.setPrecision(v.precision);
    p.setTextSize(v.textSize);
    p.setTextScale(v.textScale);
    p.setTextRotation(v.textRotation);
    p.setInc(v.inc);
    p.setCsvOpener(v.csvOpener);
    p.setZoomBorder(v.zoomBorder);
}

const Values DEFAULTS = {0, 2, 250.0, 1.0, 0.0, 1, L"NONE", 1000.0};
// Values other than the defaults, to see which fields a file changes.
const Values BEFORE = {1, 4, 99.0, 2.0, 45.0, 7, L"excel.exe", 50.0};

// Limits the size of the files this process writes, as a full disk would: a write beyond the
// limit fails (the signal it would raise is ignored meanwhile). Lifted at the latest when it goes.
class FileSizeLimit {
  public:
    void limit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_before);
        m_signal = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = m_before;
        small.rlim_cur = bytes;
        m_set = setrlimit(RLIMIT_FSIZE, &small) == 0;
        ASSERT_TRUE(m_set);
    }
    void lift() {
        if (m_set) {
            setrlimit(RLIMIT_FSIZE, &m_before);
            std::signal(SIGXFSZ, m_signal);
            m_set = false;
        }
    }
    ~FileSizeLimit() { lift(); }

  private:
    rlimit m_before{};
    void (*m_signal)(int) = SIG_DFL;
    bool m_set = false;
};

class PreferencesTest : public qv::test::DriveTest {
  protected:
    PreferencesTest() { qv::host::transcript().clear(); }

    // Loads the bytes into preferences set to BEFORE.
    Values loaded(const std::string& bytes, BOOL expectedResult = TRUE) {
        drive.writeFile(POSIX_PATH, bytes);
        CPreferences preferences;
        setValues(preferences, BEFORE);
        EXPECT_EQ(expectedResult, preferences.loadPreferences(PATH));
        return valuesOf(preferences);
    }
    // How many entries the preferences folder holds (nothing is left beside the file).
    int filesInFolder() const {
        const std::filesystem::directory_iterator entries(drive.posix("orvan/prefs"));
        return static_cast<int>(std::distance(begin(entries), end(entries)));
    }
};

TEST_F(PreferencesTest, SavingTheDefaultsWritesTheFileLineByLine) {
    CPreferences preferences;
    ASSERT_TRUE(preferences.savePreferences(PATH));
    EXPECT_EQ(COMMENTS +
                  "units\r\n0\r\nprecison\r\n2\r\ntextSize\r\n250.00\r\ntextScale\r\n1.00\r\n"
                  "textRotation\r\n0.00\r\ncsvOpener\r\nNONE\r\nzoomBorder\r\n1000\r\n"
                  "inc\r\n1\r\n",
              drive.readFile(POSIX_PATH));
    EXPECT_EQ(1, filesInFolder());
    EXPECT_TRUE(ui.shown().empty());

    CPreferences reloaded;
    setValues(reloaded, BEFORE);
    EXPECT_TRUE(reloaded.loadPreferences(PATH));
    EXPECT_EQ(DEFAULTS, valuesOf(reloaded));
}

TEST_F(PreferencesTest, EveryFieldSurvivesASaveAndALoad) {
    const std::vector<Values> sets = {
        BEFORE,
        {1, 0, 0.1, 0.25, -180.0, 100, L"C:\\Program Files\\B\u00fcro\\calc \u20ac.exe", 0.0},
    };
    for (const Values& values : sets) {
        CPreferences saved;
        setValues(saved, values);
        ASSERT_TRUE(saved.savePreferences(PATH));
        CPreferences loaded;
        EXPECT_TRUE(loaded.loadPreferences(PATH));
        EXPECT_EQ(values, valuesOf(loaded));
    }
    // Texts are stored in Windows-1252.
    EXPECT_NE(std::string::npos,
              drive.readFile(POSIX_PATH)
                  .find("csvOpener\r\nC:\\Program Files\\B\xfcro\\calc \x80.exe\r\n"));
}

TEST_F(PreferencesTest, LoadingTakesKnownPairsAndKeepsValuesInRange) {
    struct Case {
        const char* name;
        std::string body;  // after the comment lines
        std::function<void(Values&)> change;
    };
    const std::vector<Case> cases = {
        {"comments only", "", [](Values&) {}},
        {"text size 0", "textSize\r\n0\r\n", [](Values& v) { v.textSize = 0.1; }},
        {"rotation 270", "textRotation\r\n270\r\n", [](Values& v) { v.textRotation = 180.0; }},
        {"rotation -200", "textRotation\r\n-200\r\n", [](Values& v) { v.textRotation = -180.0; }},
        {"inc 0", "inc\r\n0\r\n", [](Values&) {}},
        {"inc 101", "inc\r\n101\r\n", [](Values&) {}},
        {"inc 100", "inc\r\n100\r\n", [](Values& v) { v.inc = 100; }},
        {"key matched by its length", "incX\r\n5\r\n", [](Values& v) { v.inc = 5; }},
        {"precision above 9", "precison\r\n12\r\n", [](Values& v) { v.precision = 9; }},
        {"precision below 0", "precison\r\n-1\r\n", [](Values& v) { v.precision = 0; }},
        {"precision spelled right is no key", "precision\r\n5\r\n", [](Values&) {}},
        {"blanks around the opener", "csvOpener\r\n  notepad.exe \t\r\n",
         [](Values& v) { v.csvOpener = L"notepad.exe"; }},
        {"zoom border unchecked", "zoomBorder\r\n-5\r\n", [](Values& v) { v.zoomBorder = -5.0; }},
        {"numbers that are not finite",
         "textSize\r\nnan\r\ntextRotation\r\ninf\r\n"
         "zoomBorder\r\n1e999\r\n",
         [](Values&) {}},
        {"an empty line ends the reading", "units\r\n0\r\n\r\ninc\r\n5\r\n",
         [](Values& v) { v.units = 0; }},
        {"other lines are ignored", "hello\r\n// inc\r\ninc\n3\n", [](Values& v) { v.inc = 3; }},
        {"a value without its line end", "inc\r\n9", [](Values& v) { v.inc = 9; }},
        {"an end-of-file character",
         "inc\r\n6\r\n\x1a"
         "units\r\n0\r\n",
         [](Values& v) { v.inc = 6; }},
        {"binary noise", "\x00\xff\xfe\x01units\r\n\x80\x81\r\n"s, [](Values&) {}},
    };
    for (const Case& c : cases) {
        Values expected = BEFORE;
        c.change(expected);
        EXPECT_EQ(expected, loaded(COMMENTS + c.body)) << c.name;
    }
    EXPECT_TRUE(ui.shown().empty());
}

TEST_F(PreferencesTest, AFileThatCannotBeOpenedChangesNothing) {
    CPreferences preferences;
    setValues(preferences, BEFORE);
    EXPECT_FALSE(preferences.loadPreferences(PATH));
    drive.makeFolder(POSIX_PATH);
    EXPECT_FALSE(preferences.loadPreferences(PATH));
    EXPECT_EQ(BEFORE, valuesOf(preferences));
    EXPECT_TRUE(ui.shown().empty());
}

TEST_F(PreferencesTest, AFailedSaveLeavesTheOldFileAsItWas) {
    const std::string old = COMMENTS + "units\r\n1\r\n";
    struct Case {
        const char* name;
        std::function<void()> prepare;
        std::function<void()> undo;
        CString message;  // empty: no message box
    };
    CFile holder;
    FileSizeLimit room;
    const std::vector<Case> cases = {
        {"the old file is read-only", [&] { SetFileAttributesW(PATH, FILE_ATTRIBUTE_READONLY); },
         [&] { SetFileAttributesW(PATH, FILE_ATTRIBUTE_NORMAL); },
         L"Unable to Write Configuration File - Access to " + PATH + L" was denied."},
        {"another program holds the old file",
         [&] { holder.Open(PATH, CFile::modeRead | CFile::shareDenyWrite); },
         [&] { holder.Close(); },
         L"Unable to Write Configuration File - A sharing violation occurred while accessing " +
             PATH + L"."},
        // The new file opens, and the disk fills after its first lines (a limit on the size of
        // the files this process writes): what was written of it goes, the old file stays.
        {"the disk fills while the new file is written", [&] { room.limit(60); },
         [&] { room.lift(); },
         L"Unable to Write Configuration File - Disk full while accessing " + PATH + L"."},
    };
    for (const Case& c : cases) {
        drive.writeFile(POSIX_PATH, old);
        c.prepare();
        ui.clear();
        CPreferences preferences;
        EXPECT_FALSE(preferences.savePreferences(PATH)) << c.name;
        c.undo();
        EXPECT_EQ(old, drive.readFile(POSIX_PATH)) << c.name;
        EXPECT_EQ(1, filesInFolder()) << c.name;
        ASSERT_EQ(1u, ui.shown().size()) << c.name;
        EXPECT_EQ(c.message, ui.shown()[0].text) << c.name;
        EXPECT_EQ(CString(L"Error - Configuration Not Saved"), ui.shown()[0].caption);
        EXPECT_EQ(MB_ICONERROR, ui.shown()[0].type);
    }
}

// A link to the preferences file stays a link, and the file it leads to gets the new content;
// what is no file (a folder, a pipe) is refused with a message and left as it was.
TEST_F(PreferencesTest, ASaveFollowsALinkAndRefusesWhatIsNoFile) {
    drive.makeFolder("orvan/prefs");
    drive.writeFile("shared.cfg", COMMENTS + "units\r\n1\r\n");
    ASSERT_EQ(::symlink(drive.posix("shared.cfg").c_str(), drive.posix(POSIX_PATH).c_str()), 0);
    CPreferences preferences;
    setValues(preferences, BEFORE);
    ASSERT_TRUE(preferences.savePreferences(PATH));
    EXPECT_TRUE(std::filesystem::is_symlink(drive.posix(POSIX_PATH)));
    CPreferences reread;
    ASSERT_TRUE(reread.loadPreferences(L"C:\\shared.cfg"));
    EXPECT_EQ(BEFORE, valuesOf(reread));
    EXPECT_EQ(1, filesInFolder());
    EXPECT_TRUE(ui.shown().empty());

    const struct {
        const char* name;
        std::function<void()> make;
        std::filesystem::file_type type;
    } cases[] = {
        {"a folder", [&] { drive.makeFolder(POSIX_PATH); }, std::filesystem::file_type::directory},
        {"a pipe", [&] { ASSERT_EQ(::mkfifo(drive.posix(POSIX_PATH).c_str(), 0644), 0); },
         std::filesystem::file_type::fifo},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(drive.posix(POSIX_PATH));
        c.make();
        ui.clear();
        EXPECT_FALSE(preferences.savePreferences(PATH));
        EXPECT_EQ(std::filesystem::symlink_status(drive.posix(POSIX_PATH)).type(), c.type);
        EXPECT_EQ(1, filesInFolder());
        ASSERT_EQ(1u, ui.shown().size());
        EXPECT_EQ(L"Unable to Write Configuration File - " + PATH +
                      L" is not a file that can be written.",
                  ui.shown()[0].text);
    }
}

TEST_F(PreferencesTest, AFolderThatCannotBeMadeFailsTheSave) {
    drive.writeFile("orvan", "a file where the folder should be");
    CPreferences preferences;
    EXPECT_FALSE(preferences.savePreferences(PATH));
    EXPECT_EQ("a file where the folder should be", drive.readFile("orvan"));
    EXPECT_TRUE(ui.shown().empty());
    EXPECT_NE(std::wstring::npos,
              qv::host::transcript().text().find(L"Cannot create C:\\orvan\\prefs"));
}

}  // namespace
