// Writing a file: the bytes as a file system takes them, and on top of
// them the CR LF text lines the program writes. Output is buffered and
// written out at Flush() and Close(); a write that fails is remembered, so
// that callers can tell a complete file from a partial one.
#ifndef TROVANE_PLATFORM_OUTPUT_FILE_H_
#define TROVANE_PLATFORM_OUTPUT_FILE_H_

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_version.h"

namespace trovane {

// A file open for writing under a file number.
class WritableFile {
 public:
  virtual ~WritableFile() = default;
  virtual int number() const = 0;
  // Writes every byte of `bytes`; false when not all of them were written.
  virtual bool Write(std::string_view bytes) = 0;
  // True while a write costs no system call of its own, so that a writer
  // need not gather small writes into large ones first: a file written
  // over that only compares what it is given with what it holds.
  virtual bool TakesSmallWrites() const { return false; }
  // Makes what was written survive a power cut.
  virtual bool Sync() = 0;
  // Takes the next `size` bytes as written, without looking at them, where
  // the caller knows the file holds them already: true when it could,
  // which only a file written over that still compares what it is given
  // can. The caller's proof must be the file's version (Version()).
  virtual bool PassOverSame(size_t /*size*/) { return false; }
  // The file's version as it stands; nothing where the system keeps none
  // that every write to the file moves.
  virtual std::optional<FileVersion> Version() const { return std::nullopt; }
  // Cuts the file back to its first `size` bytes.
  virtual bool Truncate(int64_t size) = 0;
  // Closes the file and gives its number back; false when closing failed.
  virtual bool Close() = 0;
};

class OutputFile {
 public:
  explicit OutputFile(std::unique_ptr<WritableFile> file);
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  ~OutputFile();

  int number() const { return file_->number(); }

  void Write(std::string_view bytes);
  // `text` followed by CR LF.
  void WriteLine(std::string_view text);
  bool Flush();
  // Writes out what is buffered and makes it survive a power cut.
  bool Sync();
  // Writes out what is buffered and closes the file; true when every byte
  // reached the file.
  bool Close();
  // True while no write has failed.
  bool ok() const { return ok_; }

 private:
  std::unique_ptr<WritableFile> file_;
  std::string pending_;
  bool ok_ = true;
  bool closed_ = false;
};

}  // namespace trovane

#endif  // TROVANE_PLATFORM_OUTPUT_FILE_H_
