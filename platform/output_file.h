// A file open for writing under a file number. Text lines end with CR LF.
// Output is buffered and written out at Flush() and Close(); a write that
// fails is remembered, so that callers can tell a complete file from a
// partial one.
#ifndef TROVANE_PLATFORM_OUTPUT_FILE_H_
#define TROVANE_PLATFORM_OUTPUT_FILE_H_

#include <string>
#include <string_view>

#include "platform/file_numbers.h"

namespace trovane {

class OutputFile {
 public:
  explicit OutputFile(FileNumbers::Lease lease);
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  ~OutputFile();

  int number() const { return lease_.number(); }

  void Write(std::string_view bytes);
  // `text` followed by CR LF.
  void WriteLine(std::string_view text);
  bool Flush();
  // Writes out what is buffered and closes the file; true when every byte
  // reached the file.
  bool Close();
  // True while no write has failed.
  bool ok() const { return ok_; }

 private:
  FileNumbers::Lease lease_;
  std::string pending_;
  bool ok_ = true;
  bool closed_ = false;
};

}  // namespace trovane

#endif  // TROVANE_PLATFORM_OUTPUT_FILE_H_
