// Whole files in and out, for drawings: read at once, and written so that a failed save never
// leaves a half-written drawing behind.
#pragma once

#include <sys/types.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace qv::win32 {
class FileReplacement;
}

namespace qv::dxf {

// The bytes of the file at the POSIX path `path`. Throws std::runtime_error naming the file and
// the system's reason when it cannot be read.
std::string readWholeFile(const std::string& path);

// A file's bytes mapped into memory, read without a copy. Pages already read can be given back,
// so that a large drawing is never in memory as a whole while it is read.
class MappedFile {
  public:
    // Throws std::runtime_error naming the file and the reason when it cannot be read.
    explicit MappedFile(const std::string& path);
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    std::string_view bytes() const { return {m_data, m_size}; }
    // Gives back the whole pages before `upTo`, a pointer into bytes(), that were not given back
    // since the last releaseAll; reading them again is still allowed (they come back from the
    // file).
    void release(const char* upTo);
    // Gives back every page (after a first pass over the whole file).
    void releaseAll();

  private:
    char* m_data = nullptr;
    size_t m_size = 0;
    size_t m_released = 0;
};

// What the writes throw: what() names the file and says why; reason() is why alone, in the
// system's words ("the file cannot be created: Permission denied").
class FileWriteError : public std::runtime_error {
  public:
    FileWriteError(const std::string& what, std::string reason)
        : std::runtime_error(what), m_reason(std::move(reason)) {}
    const std::string& reason() const { return m_reason; }

  private:
    std::string m_reason;
};

// Writes `data` to a temporary file beside `path`, flushes it to disk, and puts it in place of
// `path` (win32/FileReplacement.h: links followed, what is no file that may be written refused, a
// hard-linked file written where it is). On any failure the temporary file is removed, `path` is
// left as it was, and FileWriteError names the file and the reason.
void writeFileAtomically(const std::string& path, std::string_view data);

// The same, piece by piece: the pieces go to the temporary file as they come, and commit puts the
// file in place. Destroyed without commit, it removes the temporary file and leaves `path` as it
// was. Every operation throws FileWriteError naming the file and the reason.
class FileReplacement {
  public:
    explicit FileReplacement(const std::string& path);
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    void write(std::string_view data);
    // Replaces bytes written before, at `offset`.
    void overwrite(size_t offset, std::string_view data);
    void commit();

  private:
    [[noreturn]] void raise() const;

    std::string m_path;  // as given, for messages
    std::unique_ptr<qv::win32::FileReplacement> m_file;
};

}  // namespace qv::dxf
