// A drive C: of its own for one test: a fresh temporary folder mapped as C:, with C:\ as the
// current directory. The destructor restores the previous mapping and current directory and
// removes the folder with everything in it.
#pragma once

#include <set>
#include <string>

#include "mfc/CString.h"
#include "support/TestEnvironment.h"

namespace qv::test {

class TempDrive {
  public:
    TempDrive();
    ~TempDrive();
    TempDrive(const TempDrive&) = delete;
    TempDrive& operator=(const TempDrive&) = delete;

    // The POSIX folder that is C:\.
    const std::string& root() const { return m_root; }
    // The POSIX path of `relative` ("a/b.txt") below the root.
    std::string posix(const std::string& relative) const;
    // Writes and reads a file's bytes by its path below the root (folders made as needed).
    void writeFile(const std::string& relative, const std::string& bytes) const;
    std::string readFile(const std::string& relative) const;
    bool exists(const std::string& relative) const;
    // The names in the folder `relative` ("" for the root), hidden ones too; none when it is
    // no folder.
    std::set<std::string> names(const std::string& relative) const;
    void makeFolder(const std::string& relative) const;

  private:
    std::string m_root;
    std::string m_previousRoot;
    CString m_previousDirectory;
};

// PlatformTest (scripted screen, manual clock) with a TempDrive as `drive`.
class DriveTest : public PlatformTest {
  protected:
    TempDrive drive;
};

}  // namespace qv::test
