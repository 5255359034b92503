// ocsv: the bytes of the file it writes beside the drawing, and the program it starts on it.
#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "SpaceBlockCommandFixture.h"
#include "support/SmallDisk.h"
#include "module/ListingCommands.h"
#include "win32/Process.h"

namespace {

using qv::test::SpaceRoom;

const std::string HEADER = "Code,Area,Units,Perimeter,Units\r\n";

class RoomAreaCsv : public qv::test::SpaceBlockCommandTest {
  protected:
    std::string csv() const { return drive.readFile("plans/level1.csv"); }

    // An opener that records its working folder and its arguments, one a line, in
    // C:\bin\opened.txt (written whole, then renamed, so that a reader never sees half).
    void installRecordingOpener() const {
        drive.writeFile("bin/opener.sh",
                        "#!/bin/sh\n"
                        "out=\"$(dirname \"$0\")/opened\"\n"
                        "{ pwd; echo \"$#\"; for a in \"$@\"; do echo \"$a\"; done; } > \"$out.tmp\"\n"
                        "mv \"$out.tmp\" \"$out.txt\"\n");
        ::chmod(drive.posix("bin/opener.sh").c_str(), 0755);
    }
    // What the opener recorded, once it has (up to 10 s); empty when it never ran.
    std::string opened() const {
        for (int i = 0; i < 200 && !drive.exists("bin/opened.txt"); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return drive.exists("bin/opened.txt") ? drive.readFile("bin/opened.txt") : "";
    }
};

TEST_F(RoomAreaCsv, WritesTheSpacesOfTheDrawingAsWindowsText) {
    const struct {
        const char* name;
        std::vector<SpaceRoom> rooms;
        int precision;
        std::string expected;  // after the header
    } cases[] = {
        {"no space blocks: zero sums, no units", {}, 2,
         "Total,0.00,,0.00,\r\n\r\n\r\n"},
        {"rooms and the gross area after two empty lines",
         {{L"ROOM-1", L"Office 1", 12.5, 14.2, 0, 0},
          {L"ROOM-GROSS_AREA", L"GROSS AREA", 250.0, 64.0, 0, 2000},
          {L"ROOM-2", L"Office 2", 20.0, 18.0, 0, 4000}},
         2,
         "Office 1,12.50,m\xB2,14.20,m\r\n"
         "Office 2,20.00,m\xB2,18.00,m\r\n"
         "Total,32.50,m\xB2,32.20,m\r\n"
         "\r\n\r\n"
         "GROSS AREA,250.00,m\xB2,64.00,m\r\n"},
        {"the preference precision, rounded",
         {{L"ROOM-1", L"Lab", 12.46, 14.04, 0, 0}}, 1,
         "Lab,12.5,m\xB2,14.0,m\r\nTotal,12.5,m\xB2,14.0,m\r\n"
         "\r\n\r\n"},
        {"names quoted for a comma or a quote; a character outside the code page is ?",
         {{L"ROOM-1", L"Office \"A\", east", 1.0, 4.0, 0, 0},
          {L"ROOM-2", L"B\u00FCro \u03A9", 2.0, 6.0, 0, 2000}},
         2,
         "\"Office \"\"A\"\", east\",1.00,m\xB2,4.00,m\r\n"
         "B\xFCro ?,2.00,m\xB2,6.00,m\r\n"
         "Total,3.00,m\xB2,10.00,m\r\n\r\n\r\n"},
        {"mixed units: the total in the last block's units, each room converted",
         {{L"ROOM-1", L"Metric", 10.0, 12.0, 0, 0},
          {L"ROOM-3", L"Imperial", 107.639104, 32.808399, 1, 4000}},
         2,
         "Metric,10.00,m\xB2,12.00,m\r\n"
         "Imperial,107.64,ft\xB2,32.81,ft\r\n"
         "Total,215.28,ft\xB2,72.18,ft\r\n\r\n\r\n"},
        {"a block without stored data (units not set) counts as metric",
         {{L"ROOM-1", L"Imperial", 10.7639104, 3.2808399, 1, 0},
          {L"ROOM-2", L"Unset", 0.0, 0.0, 0, 2000, true}},
         2,
         "Imperial,10.76,ft\xB2,3.28,ft\r\n"
         "Unset,0.00,m\xB2,0.00,m\r\n"
         "Total,1.00,m\xB2,1.00,m\r\n\r\n\r\n"},
        {"the gross area block last decides the total's units",
         {{L"ROOM-1", L"Imperial", 10.7639104, 3.2808399, 1, 0},
          {L"ROOM-GROSS_AREA", L"GROSS AREA", 100.0, 40.0, 0, 2000}},
         2,
         "Imperial,10.76,ft\xB2,3.28,ft\r\n"
         "Total,1.00,m\xB2,1.00,m\r\n\r\n\r\n"
         "GROSS AREA,100.00,m\xB2,40.00,m\r\n"},
        {"a block named in lower case is left out",
         {{L"room-1", L"Lower", 1.0, 4.0, 0, 0}, {L"ROOM-2", L"Upper", 2.0, 6.0, 0, 2000}},
         2,
         "Upper,2.00,m\xB2,6.00,m\r\n"
         "Total,2.00,m\xB2,6.00,m\r\n\r\n\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<AcDbObjectId> made;
        for (const SpaceRoom& room : c.rooms)
            made.push_back(addRoom(room));
        storePreferences(c.precision, L"NONE");
        answers.give({});
        createRoomAreaCSV();
        EXPECT_EQ(HEADER + c.expected, csv());
        EXPECT_EQ(L"Orvan Block Details 64.04.00.01\n"
                  L"csv data successfully saved to file (C:\\plans\\level1.csv)\n",
                  printed());
        EXPECT_TRUE(messageBoxes().empty());
        for (const AcDbObjectId& id : made)
            removeRoom(id);
    }
}

TEST_F(RoomAreaCsv, ListsTheBlocksByTheValueOfTheirHandles) {
    // Handles 2x, 10x and 3000+: as text "10x" < "2x"; the walk meets the first block last.
    const AcDbObjectId first = addRoom({L"ROOM-1", L"A", 1.0, 1.0, 0, 0});
    db()->qvSetHandseed(AcDbHandle(0x100));
    addRoom({L"ROOM-2", L"B", 2.0, 2.0, 0, 2000});
    db()->qvSetHandseed(AcDbHandle(0x3000));
    addRoom({L"ROOM-3", L"C", 3.0, 3.0, 0, 4000});
    moveToEndOfModelSpace(first);
    ASSERT_LT(first.handle().value(), 0x100u);

    createRoomAreaCSV();
    EXPECT_EQ(HEADER + "A,1.00,m\xB2,1.00,m\r\nB,2.00,m\xB2,2.00,m\r\nC,3.00,m\xB2,3.00,m\r\n"
              "Total,6.00,m\xB2,6.00,m\r\n\r\n\r\n",
              csv());
}

TEST_F(RoomAreaCsv, StartsTheOpenerOnTheFileInTheModuleFolder) {
    installRecordingOpener();
    drive.makeFolder("plans/level 1");
    document()->qvSetFileName(L"C:\\plans\\level 1\\floor one.dwg");
    addRoom({L"ROOM-1", L"Office", 1.0, 4.0, 0, 0});
    storePreferences(2, L"C:\\bin\\opener.sh");
    const size_t handlesBefore = qv::win32::openProcessHandles();

    createRoomAreaCSV();
    // One argument, the file, however many blanks its path holds; run in C:\Host.
    EXPECT_EQ(drive.posix("Host") + "\n1\n" + drive.posix("plans/level 1/floor one.csv") + "\n",
              opened());
    EXPECT_EQ(handlesBefore, qv::win32::openProcessHandles());
    EXPECT_TRUE(drive.exists("plans/level 1/floor one.csv"));
}

TEST_F(RoomAreaCsv, AnEmptyOpenerIsAskedForOnce) {
    installRecordingOpener();
    storePreferences(2, L"");
    const std::wstring PROMPT =
        L"\nPlease enter the path of the application you wish to open csv files with\n:";
    const struct {
        const char* name;
        std::string answer;
        bool started;
    } cases[] = {
        {"an answer starts it (and is not stored)", "C:\\bin\\opener.sh", true},
        {"an empty answer starts nothing", "", false},
        {"a cancel starts nothing", "^C", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (drive.exists("bin/opened.txt"))
            ::unlink(drive.posix("bin/opened.txt").c_str());
        answers.give({c.answer});
        createRoomAreaCSV();
        EXPECT_EQ(0u, answers.left());
        EXPECT_NE(std::wstring::npos, printed().find(PROMPT));
        EXPECT_TRUE(drive.exists("plans/level1.csv"));
        if (c.started) {
            EXPECT_EQ(drive.posix("Host") + "\n1\n" + drive.posix("plans/level1.csv") + "\n",
                      opened());
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            EXPECT_FALSE(drive.exists("bin/opened.txt"));
        }
        CPreferences stored;
        stored.loadPreferences(L"C:\\Host\\orvan\\prefs\\prefs.cfg");
        EXPECT_EQ(CString(L""), stored.getCsvOpener());
    }
}

TEST_F(RoomAreaCsv, WhatCannotBeDoneIsSaidAndNothingIsLost) {
    const struct {
        const char* name;
        const wchar_t* drawingFile;
        const wchar_t* opener;
        const wchar_t* message;
        const char* written;  // below C:\, or null
        bool failed;          // the command ends as failed (its last error the module's own)
    } cases[] = {
        {"a folder that is not there", L"C:\\missing\\level1.dwg", L"C:\\bin\\opener.sh",
         L"Unable to write csv data to file (C:\\missing\\level1.csv): The system cannot find "
         L"the path specified.\n",
         nullptr, true},
        {"a drawing never saved", L"", L"C:\\bin\\opener.sh",
         L"The drawing has no file name - save it before exporting csv data\n", nullptr, true},
        {"an opener that is not there", L"C:\\plans\\level1.dwg", L"C:\\bin\\nothing.exe",
         L"csv data successfully saved to file (C:\\plans\\level1.csv)\n"
         L"Unable to start C:\\bin\\nothing.exe to open the csv file\n",
         "plans/level1.csv", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        document()->qvSetFileName(c.drawingFile);
        storePreferences(2, c.opener);
        answers.give({});
        SetLastError(ERROR_SUCCESS);
        createRoomAreaCSV();
        EXPECT_EQ(c.failed, (GetLastError() & APPLICATION_ERROR_MASK) != 0);
        EXPECT_EQ(std::wstring(L"Orvan Block Details 64.04.00.01\n") + c.message, printed());
        EXPECT_TRUE(messageBoxes().empty());
        if (c.written != nullptr) {
            EXPECT_TRUE(drive.exists(c.written));
        }
    }
}

// A name that a spreadsheet would run as a formula is written as text; the numbers are not.
TEST_F(RoomAreaCsv, FormulaNamesAreWrittenAsText) {
    for (const SpaceRoom& room : std::vector<SpaceRoom>{
             {L"ROOM-1", L"=cmd|' /C calc'!A0", 1.0, 4.0, 0, 0},
             {L"ROOM-2", L"+1", 1.0, 4.0, 0, 2000},
             {L"ROOM-3", L"-2", 1.0, 4.0, 0, 4000},
             {L"ROOM-4", L"@SUM(1)", 1.0, 4.0, 0, 6000},
             {L"ROOM-5", L"\tTab", 1.0, 4.0, 0, 8000},
             {L"ROOM-6", L"A-1 = B", 1.0, 4.0, 0, 10000}})
        addRoom(room);
    storePreferences(2, L"NONE");
    answers.give({});
    createRoomAreaCSV();
    EXPECT_EQ("Code,Area,Units,Perimeter,Units\r\n"
              "\"'=cmd|' /C calc'!A0\",1.00,m\xB2,4.00,m\r\n"
              "\"'+1\",1.00,m\xB2,4.00,m\r\n"
              "\"'-2\",1.00,m\xB2,4.00,m\r\n"
              "\"'@SUM(1)\",1.00,m\xB2,4.00,m\r\n"
              "\"'\tTab\",1.00,m\xB2,4.00,m\r\n"
              "A-1 = B,1.00,m\xB2,4.00,m\r\n"
              "Total,6.00,m\xB2,24.00,m\r\n\r\n\r\n",
              csv());
}

// A list whose name is a link: a link to a file is written through (the file it leads to gets
// the list, the link stays a link); a link that leads to no file is refused, and makes none.
TEST_F(RoomAreaCsv, ALinkIsWrittenThroughAndALinkToNothingRefused) {
    addRoom({L"ROOM-1", L"Office 1", 12.5, 14.2, 0, 0});
    drive.writeFile("lists/rooms.txt", "old");
    ::symlink("../lists/rooms.txt", drive.posix("plans/level1.csv").c_str());
    ::symlink("../lists/none.txt", drive.posix("plans/level2.csv").c_str());
    const struct {
        const wchar_t* drawingFile;
        const char* link;
        const char* leadsTo;
        const wchar_t* said;
    } cases[] = {
        {L"C:\\plans\\level1.dwg", "plans/level1.csv", "lists/rooms.txt",
         L"csv data successfully saved to file (C:\\plans\\level1.csv)\n"},
        {L"C:\\plans\\level2.dwg", "plans/level2.csv", "lists/none.txt",
         L"Unable to write csv data to file (C:\\plans\\level2.csv): The name of the file cannot "
         L"be resolved by the system.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.link);
        document()->qvSetFileName(c.drawingFile);
        storePreferences(2, L"NONE");
        answers.give({});
        createRoomAreaCSV();
        EXPECT_EQ(std::wstring(L"Orvan Block Details 64.04.00.01\n") + c.said, printed());
        EXPECT_TRUE(messageBoxes().empty()) << testing::PrintToString(messageBoxes());
        struct stat st {};
        EXPECT_TRUE(::lstat(drive.posix(c.link).c_str(), &st) == 0 && S_ISLNK(st.st_mode))
            << "the link is still a link";
    }
    EXPECT_EQ(drive.readFile("lists/rooms.txt").substr(0, HEADER.size()), HEADER);
    EXPECT_FALSE(drive.exists("lists/none.txt"));
    EXPECT_EQ(std::set<std::string>({"level1.csv", "level2.csv"}), drive.names("plans"))
        << "no part file is left";
}

// Targets that are refused before anything is written, each left exactly as it was: the
// drawing itself (a drawing named .csv, or a link to it), a pipe (which would block the host),
// a read-only file; and an untitled drawing, which has no folder to write beside.
TEST_F(RoomAreaCsv, RefusedTargetsAreLeftAsTheyWere) {
    drive.writeFile("plans/plan.csv", "drawing");
    drive.writeFile("plans/level2.dwg", "drawing");
    ::symlink(drive.posix("plans/level2.dwg").c_str(), drive.posix("plans/level2.csv").c_str());
    ::mkfifo(drive.posix("plans/pipe.csv").c_str(), 0644);
    drive.writeFile("plans/ro.csv", "old");
    ::chmod(drive.posix("plans/ro.csv").c_str(), 0444);
    const struct {
        const wchar_t* drawingFile;
        const wchar_t* reason;  // null: the untitled drawing's message
    } cases[] = {
        {L"C:\\plans\\plan.csv", L"it is the drawing itself"},
        {L"C:\\plans\\level2.dwg", L"it is the drawing itself"},
        {L"C:\\plans\\pipe.dwg", L"it is not a regular file"},
        {L"C:\\plans\\ro.dwg", L"the file is read-only"},
        {L"Drawing1.dwg", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.drawingFile)));
        document()->qvSetFileName(c.drawingFile);
        storePreferences(2, L"NONE");
        answers.give({});
        createRoomAreaCSV();
        std::wstring csvPath = c.drawingFile;
        csvPath.replace(csvPath.size() - 4, 4, L".csv");
        EXPECT_EQ(std::wstring(L"Orvan Block Details 64.04.00.01\n") +
                      (c.reason != nullptr
                           ? L"Unable to write csv data to file (" + csvPath + L"): " + c.reason
                           : std::wstring(L"The drawing has no file name - save it before "
                                          L"exporting csv data")) +
                      L"\n",
                  printed());
    }
    EXPECT_EQ(drive.readFile("plans/plan.csv"), "drawing");
    EXPECT_EQ(drive.readFile("plans/level2.dwg"), "drawing");
    EXPECT_EQ(drive.readFile("plans/ro.csv"), "old");
    EXPECT_FALSE(drive.exists("Drawing1.csv"));
}

// A full disk fails the command with its reason and leaves the old file whole.
TEST_F(RoomAreaCsv, AFullDiskKeepsTheOldFile) {
    drive.makeFolder("full");
    qv::test::SmallDisk disk(drive.posix("full"));
    if (!disk.mounted())
        GTEST_SKIP() << disk.skipReason();
    drive.writeFile("full/level1.csv", "old");
    disk.fill();
    std::vector<std::wstring> blockNames;
    for (int i = 0; i < 20; i++)
        blockNames.push_back(L"ROOM-" + std::to_wstring(i));
    for (int i = 0; i < 20; i++)
        addRoom({blockNames[i].c_str(), L"A room with a name long enough to need a block of disk",
                 1.0, 4.0, 0, i * 2000.0});
    document()->qvSetFileName(L"C:\\full\\level1.dwg");
    storePreferences(2, L"NONE");
    answers.give({});
    createRoomAreaCSV();
    EXPECT_EQ(std::wstring::npos, printed().find(L"successfully"));
    ASSERT_EQ(1u, messageBoxes().size());
    EXPECT_EQ(drive.readFile("full/level1.csv"), "old");
    int entries = 0;  // the old file, the filler, "." and "..": no temporary file is left
    if (DIR* dir = ::opendir(drive.posix("full").c_str())) {
        while (::readdir(dir) != nullptr)
            entries++;
        ::closedir(dir);
    }
    EXPECT_EQ(4, entries);
}

}  // namespace
