// The platform's one way of replacing a file: what it refuses (and leaves as it was), the checks
// it makes again when the file is put in place, the part file that a signal ending the program
// does not leave behind, and a hard-linked file written where it is, whole under every name
// whatever stops the writing.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "mfc/File.h"
#include "support/TempDrive.h"
#include "win32/FileReplacement.h"

namespace {

using qv::test::DriveTest;
using qv::win32::FileReplacement;
using qv::win32::InPlaceCopy;
using qv::win32::Refusal;

class FileReplacementTest : public DriveTest {
  protected:
    void SetUp() override {
        drive.writeFile("plan.dwg", "plan");
        drive.writeFile("old.txt", "old");
    }
    std::string plan() const { return drive.posix("plan.dwg"); }
    // Replaces `target` with "new"; the refusal (Refusal::None when it was written).
    Refusal replace(const std::string& target, const std::function<void()>& meanwhile = {}) {
        FileReplacement file(drive.posix(target), plan());
        if (file.refusal() != Refusal::None)
            return file.refusal();
        EXPECT_TRUE(file.write("new"));
        if (meanwhile)
            meanwhile();
        file.commit();
        return file.refusal();
    }
    void link(const char* to, const std::string& name) const {
        ASSERT_EQ(::symlink(to, drive.posix(name).c_str()), 0);
    }
};

// Refused before anything is written, and left exactly as they were.
TEST_F(FileReplacementTest, WhatMayNotBeWrittenIsRefusedAndKept) {
    drive.makeFolder("folder");
    ASSERT_EQ(::mkfifo(drive.posix("pipe").c_str(), 0644), 0);
    drive.writeFile("ro.txt", "old");
    ::chmod(drive.posix("ro.txt").c_str(), 0444);
    link("ro.txt", "to-ro.txt");
    link("none.txt", "dangling.txt");
    link("plan.dwg", "own.pdf");
    ASSERT_EQ(::link(plan().c_str(), drive.posix("twin.pdf").c_str()), 0);
    drive.makeFolder("sub");
    link("..", "sub/up");  // the plan by a folder link: C:\sub\up\plan.dwg
    drive.writeFile("held.txt", "old");
    CFile held(L"C:\\held.txt", CFile::modeRead | CFile::shareDenyWrite);

    const struct {
        const char* target;
        Refusal refusal;
    } cases[] = {
        {"folder", Refusal::Folder},
        {"pipe", Refusal::NotRegular},
        {"ro.txt", Refusal::ReadOnly},
        {"to-ro.txt", Refusal::ReadOnly},
        {"dangling.txt", Refusal::DanglingLink},
        {"own.pdf", Refusal::Protected},
        {"twin.pdf", Refusal::Protected},
        {"sub/up/plan.dwg", Refusal::Protected},
        {"held.txt", Refusal::InUse},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        EXPECT_EQ(replace(c.target), c.refusal);
    }
    EXPECT_EQ(drive.readFile("ro.txt"), "old");
    EXPECT_EQ(drive.readFile("held.txt"), "old");
    EXPECT_EQ(drive.readFile("plan.dwg"), "plan");
    EXPECT_FALSE(drive.exists("none.txt")) << "a link to nothing made its file";
    EXPECT_EQ(drive.names("").size(), 11u) << "no part file is left";
}

// Written: a link's file (the link stays), a hard-linked file where it is, a new file.
TEST_F(FileReplacementTest, LinksAreWrittenThroughAndStay) {
    drive.makeFolder("lists");
    link("lists/../old.txt", "link.txt");
    ASSERT_EQ(::link(drive.posix("old.txt").c_str(), drive.posix("hard.txt").c_str()), 0);
    const struct {
        const char* target;
        const char* seenAt;  // the file that holds what was written
    } cases[] = {{"link.txt", "old.txt"}, {"hard.txt", "old.txt"}, {"new.txt", "new.txt"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        drive.writeFile("old.txt", "old");
        EXPECT_EQ(replace(c.target), Refusal::None);
        EXPECT_EQ(drive.readFile(c.target), "new");
        EXPECT_EQ(drive.readFile(c.seenAt), "new");
    }
    struct stat st {};
    EXPECT_TRUE(::lstat(drive.posix("link.txt").c_str(), &st) == 0 && S_ISLNK(st.st_mode));
}

// What takes the target's place while the part file is written is checked as the target was,
// and not written over.
TEST_F(FileReplacementTest, TheTargetIsCheckedAgainWhenItIsPutInPlace) {
    const struct {
        const char* name;
        const char* target;
        std::function<void()> meanwhile;
        Refusal refusal;
        const char* left;  // what the target holds afterwards
    } cases[] = {
        {"a file becomes a link to the plan", "copy.dwg",
         [this] {
             ::unlink(drive.posix("copy.dwg").c_str());
             link("plan.dwg", "copy.dwg");
         },
         Refusal::Protected, "plan"},
        {"a link to the plan where there was nothing", "alias.dwg",
         [this] { link("plan.dwg", "alias.dwg"); }, Refusal::Protected, "plan"},
        {"another file where there was nothing", "fresh.txt",
         [this] { drive.writeFile("fresh.txt", "theirs"); }, Refusal::Changed, "theirs"},
        {"the file is replaced by another", "old.txt",
         [this] {
             drive.writeFile("other.txt", "theirs");
             ::rename(drive.posix("other.txt").c_str(), drive.posix("old.txt").c_str());
         },
         Refusal::Changed, "theirs"},
    };
    drive.writeFile("copy.dwg", "copy");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(replace(c.target, c.meanwhile), c.refusal);
        EXPECT_EQ(drive.readFile(c.target), c.left);
    }
    EXPECT_EQ(drive.readFile("plan.dwg"), "plan");
    EXPECT_EQ(drive.names("").size(), 5u) << "no part file is left";
}

// A child that starts a replacement and is then sent `signal`: how it ended, and whether its part
// file is still there. `caught` installs a handler of the child's own first.
struct SignalEnd {
    int status = 0;
    bool partLeft = true;
};
SignalEnd signalDuringReplacement(const std::string& target, int signal, bool caught) {
    int names[2];
    if (::pipe(names) != 0)
        return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(names[0]);
        if (caught)
            std::signal(signal, [](int) {});
        FileReplacement file(target);
        file.write("new");
        const std::string part = file.partPath() + "\n";
        (void)!::write(names[1], part.data(), part.size());
        ::raise(signal);
        file.commit();
        ::_exit(file.refusal() == Refusal::None ? 0 : 1);
    }
    ::close(names[1]);
    std::string part;
    char c = 0;
    while (::read(names[0], &c, 1) == 1 && c != '\n')
        part += c;
    ::close(names[0]);
    SignalEnd end;
    ::waitpid(child, &end.status, 0);
    end.partLeft = !part.empty() && ::access(part.c_str(), F_OK) == 0;
    return end;
}

TEST_F(FileReplacementTest, ASignalThatEndsTheProgramRemovesThePartFile) {
    for (const int signal : {SIGTERM, SIGHUP, SIGINT, SIGPIPE}) {
        SCOPED_TRACE(strsignal(signal));
        const SignalEnd ended = signalDuringReplacement(drive.posix("old.txt"), signal, false);
        EXPECT_TRUE(WIFSIGNALED(ended.status) && WTERMSIG(ended.status) == signal)
            << "the signal still ends the program";
        EXPECT_FALSE(ended.partLeft);
        EXPECT_EQ(drive.readFile("old.txt"), "old");

        const SignalEnd handled = signalDuringReplacement(drive.posix("old.txt"), signal, true);
        EXPECT_TRUE(WIFEXITED(handled.status) && WEXITSTATUS(handled.status) == 0)
            << "a signal the program catches leaves the replacement to go on";
        EXPECT_EQ(drive.readFile("old.txt"), "new");
        drive.writeFile("old.txt", "old");
    }
    EXPECT_EQ(drive.names("").size(), 2u);
}

// Hard-linked files large enough to be copied in several pieces: the old content and a longer
// new one, told apart anywhere in them.
class InPlaceTest : public FileReplacementTest {
  protected:
    void SetUp() override {
        FileReplacementTest::SetUp();
        drive.writeFile("old.txt", oldContent);
        ASSERT_EQ(::link(drive.posix("old.txt").c_str(), drive.posix("twin.txt").c_str()), 0);
    }
    void TearDown() override {
        qv::win32::setInPlaceCopyHook({});
        qv::win32::setBeforePlacingHook({});
    }
    // The files beside the two names: what each is by its name ("part" <name>.XXXXXX, "copying"
    // <name>.copying.XXXXXX, "kept" <name>.old.XXXXXX) and what it holds.
    std::multiset<std::string> besides() const {
        std::multiset<std::string> found;
        for (const std::string& name : drive.names("")) {
            if (name == "plan.dwg" || name == "old.txt" || name == "twin.txt")
                continue;
            const std::string held = drive.readFile(name);
            const char* kind = name.size() == 14 && name.starts_with("old.txt.")       ? "part"
                               : name.size() == 18 && name.starts_with("old.txt.old.") ? "kept"
                               : name.size() == 22 && name.starts_with("old.txt.copying.")
                                   ? "copying"
                                   : nullptr;
            const char* what = held == oldContent             ? "the old content"
                               : held == newContent           ? "the new content"
                               : oldContent.starts_with(held) ? "the old content cut short"
                                                              : "something else";
            found.insert(kind != nullptr ? std::string(kind) + ": " + what : name);
        }
        return found;
    }
    static std::string lines(const char* what, int count) {
        std::string text;
        for (int i = 0; i < count; ++i)
            text += std::string(what) + " line " + std::to_string(i) + "\n";
        return text;
    }
    const std::string oldContent = lines("old", 20000);
    const std::string newContent = lines("the new", 40000);
};

// The status of a child that writes `content` over `target` and raises `signal` once the copy
// `during` has written its first piece.
int signalledWhileCopying(const std::string& target, const std::string& content, int signal,
                          InPlaceCopy during) {
    const pid_t child = ::fork();
    if (child == 0) {
        qv::win32::setInPlaceCopyHook([=](InPlaceCopy copy, std::size_t) {
            if (copy == during)
                ::raise(signal);
        });
        FileReplacement file(target);
        file.write(content);
        file.commit();
        ::_exit(file.refusal() == Refusal::None ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return status;
}

TEST_F(InPlaceTest, ASignalLeavesEveryNameWholeAndTheOldContentSomewhere) {
    const std::multiset<std::string> nothing;
    const std::multiset<std::string> both = {"kept: the old content", "part: the new content"};
    const std::multiset<std::string> unkept = {"copying: the old content cut short",
                                               "part: the new content"};
    const struct {
        int signal;
        InPlaceCopy during;
        const std::string& holds;  // both names afterwards ("": the file half-written)
        const std::multiset<std::string>& left;
    } cases[] = {
        {SIGTERM, InPlaceCopy::WritingOver, newContent, nothing},
        {SIGHUP, InPlaceCopy::WritingOver, newContent, nothing},
        {SIGINT, InPlaceCopy::WritingOver, newContent, nothing},
        {SIGPIPE, InPlaceCopy::WritingOver, newContent, nothing},
        {SIGTERM, InPlaceCopy::KeepingOld, oldContent, nothing},
        {SIGHUP, InPlaceCopy::KeepingOld, oldContent, nothing},
        {SIGKILL, InPlaceCopy::WritingOver, "", both},
        {SIGKILL, InPlaceCopy::KeepingOld, oldContent, unkept},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(strsignal(c.signal)) + (c.during == InPlaceCopy::KeepingOld
                                                             ? " while the old content is kept"
                                                             : " while the file is written"));
        drive.writeFile("old.txt", oldContent);
        const int status =
            signalledWhileCopying(drive.posix("old.txt"), newContent, c.signal, c.during);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.signal) << status;
        if (!c.holds.empty()) {
            EXPECT_TRUE(drive.readFile("old.txt") == c.holds) << "old.txt is damaged";
            EXPECT_TRUE(drive.readFile("twin.txt") == c.holds) << "twin.txt is damaged";
        }
        EXPECT_EQ(besides(), c.left);
        for (const std::string& name : drive.names(""))
            if (name.starts_with("old.txt."))
                ::unlink(drive.posix(name).c_str());
    }
}

// A child that sets the seam to stop at each of `moments` in turn (the last one it takes counts)
// and writes `content` over `target`; returned once it has stopped or ended, with its status.
pid_t stoppingChild(const std::string& target, const std::string& content,
                    const std::vector<std::string>& moments, int& status) {
    const pid_t child = ::fork();
    if (child == 0) {
        std::string error;
        for (const std::string& moment : moments)
            qv::win32::stopWhileWriting(moment, error);
        FileReplacement file(target);
        file.write(content);
        file.commit();
        ::_exit(file.refusal() == Refusal::None ? 0 : 1);
    }
    ::waitpid(child, &status, WUNTRACED);
    return child;
}

// Lets a stopped child go on: its status once it has ended (-1: it stopped again, and was killed).
int goOn(pid_t child) {
    ::kill(child, SIGCONT);
    int status = 0;
    ::waitpid(child, &status, WUNTRACED);
    if (!WIFSTOPPED(status))
        return status;
    ::kill(child, SIGKILL);
    ::waitpid(child, &status, 0);
    return -1;
}

// The program stops itself at the moment named, the files as they are then; let go on, it
// finishes the writing.
TEST_F(InPlaceTest, TheSeamStopsTheProgramAtTheMomentNamed) {
    const auto named = [this](const char* start) {
        for (const std::string& name : drive.names(""))
            if (name.starts_with(start))
                return drive.readFile(name);
        return std::string();
    };
    const struct {
        const char* moment;
        std::size_t bytes;  // at least as many bytes of `filled` in the file `filling()` reads
        std::function<std::string()> filling;
        const std::string& filled;
        std::multiset<std::string> left;
    } cases[] = {
        {"part",
         newContent.size(),
         [&] { return named("old.txt."); },
         newContent,
         {"part: the new content"}},
        {"keeping:1",
         1,
         [&] { return named("old.txt.copying."); },
         oldContent,
         {"copying: the old content cut short", "part: the new content"}},
        {"keeping:150000",
         150000,
         [&] { return named("old.txt.copying."); },
         oldContent,
         {"copying: the old content cut short", "part: the new content"}},
        {"writing:150000",
         150000,
         [&] { return drive.readFile("twin.txt"); },
         newContent,
         {"kept: the old content", "part: the new content"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.moment);
        drive.writeFile("old.txt", oldContent);
        int status = 0;
        const pid_t child = stoppingChild(drive.posix("old.txt"), newContent, {c.moment}, status);
        ASSERT_TRUE(WIFSTOPPED(status)) << status;
        EXPECT_EQ(besides(), c.left);
        const std::string filling = c.filling();
        EXPECT_GE(
            std::mismatch(filling.begin(), filling.end(), c.filled.begin()).first - filling.begin(),
            static_cast<std::ptrdiff_t>(c.bytes));
        status = goOn(child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
        EXPECT_TRUE(drive.readFile("twin.txt") == newContent) << "twin.txt is not written";
        EXPECT_EQ(besides(), std::multiset<std::string>{});
    }
}

// A text that names no moment is refused, says what is expected, and sets nothing up: the
// program does not stop.
TEST_F(InPlaceTest, AMalformedMomentIsRefusedAndStopsNothing) {
    const std::vector<std::string> malformed = {
        "parts",
        "part:1",
        "Part",
        "keeping",
        "keeping:",
        "writing",
        "keeping:x",
        "keeping:-1",
        "keeping:+1",
        "writing:1x",
        "writing:1:2",
        "writing: 1",
        "keeping:99999999999999999999999",
        "over:1",
    };
    for (const std::string& moment : malformed) {
        SCOPED_TRACE(moment);
        std::string error;
        EXPECT_FALSE(qv::win32::stopWhileWriting(moment, error));
        EXPECT_EQ(error, "\"" + moment +
                             "\" names no moment of the writing (part, keeping:BYTES or "
                             "writing:BYTES)");
    }
    int status = 0;
    const pid_t child = stoppingChild(drive.posix("old.txt"), newContent, malformed, status);
    EXPECT_FALSE(WIFSTOPPED(status)) << "a malformed moment stopped the program";
    if (WIFSTOPPED(status))
        status = goOn(child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_TRUE(drive.readFile("twin.txt") == newContent) << "twin.txt is not written";
}

// A file that can grow no more in the midst of the writing (as a full disk would stop it): the
// old content is written back; when even that fails, its copy stays and the error names it.
TEST_F(InPlaceTest, AFailureWhileWritingLeavesTheOldContent) {
    struct rlimit unlimited {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &unlimited), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    const struct {
        const char* name;
        std::size_t limit;
        bool restored;
    } cases[] = {
        {"room for the old content", oldContent.size() + 1000, true},
        {"no room even for the old content", oldContent.size() / 2, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        drive.writeFile("old.txt", oldContent);
        qv::win32::setInPlaceCopyHook([&](InPlaceCopy copy, std::size_t) {
            struct rlimit limit = unlimited;
            limit.rlim_cur = c.limit;
            if (copy == InPlaceCopy::WritingOver)
                ::setrlimit(RLIMIT_FSIZE, &limit);
        });
        FileReplacement file(drive.posix("old.txt"));
        file.write(newContent);
        EXPECT_FALSE(file.commit());
        ::setrlimit(RLIMIT_FSIZE, &unlimited);
        EXPECT_EQ(file.systemError(), EFBIG);
        if (c.restored) {
            EXPECT_TRUE(drive.readFile("old.txt") == oldContent) << "old.txt is damaged";
            EXPECT_TRUE(drive.readFile("twin.txt") == oldContent) << "twin.txt is damaged";
            EXPECT_EQ(besides(), std::multiset<std::string>{});
        } else {
            EXPECT_EQ(besides(), std::multiset<std::string>{"kept: the old content"});
            EXPECT_NE(file.error().find(drive.posix("old.txt.old.")), std::string::npos)
                << file.error();
        }
    }
    std::signal(SIGXFSZ, previous);
}

// Another user's file in a folder of one's own: not this user's to write, though its mode has
// write bits (tried as user nobody, in a child; only root can become nobody).
TEST_F(FileReplacementTest, AFileThisUserMayNotWriteIsRefused) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to act as another user";
    drive.makeFolder("theirs");
    drive.writeFile("theirs/root.txt", "root's");
    ::chmod(drive.root().c_str(), 0755);
    ASSERT_EQ(::chown(drive.posix("theirs").c_str(), 65534, 65534), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(2);
        FileReplacement file(drive.posix("theirs/root.txt"));
        ::_exit(file.refusal() == Refusal::NotPermitted ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(drive.readFile("theirs/root.txt"), "root's");
    EXPECT_EQ(drive.names("theirs").size(), 1u);
}

}  // namespace
