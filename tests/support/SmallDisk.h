// A full disk for a test: a small tmpfs mounted on a folder, filled up to its last block, so that
// a write to a file on it fails with "No space left on device". Mounting needs the right to
// mount (root in the test machine's container); where it is not allowed, mounted() is false and
// the test skips (GTEST_SKIP) with the reason in skipReason().
#pragma once

#include <string>

namespace qv::test {

class SmallDisk {
  public:
    // Mounts an empty tmpfs of `kilobytes` on the folder `posixFolder` (made if missing).
    SmallDisk(const std::string& posixFolder, int kilobytes = 64);
    // Unmounts it, with everything on it.
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return m_mounted; }
    const std::string& skipReason() const { return m_reason; }
    // Takes up every block that is still free.
    void fill() const;

  private:
    std::string m_folder;
    bool m_mounted = false;
    std::string m_reason;
};

}  // namespace qv::test
