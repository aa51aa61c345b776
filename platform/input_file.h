// Reading a file: the bytes as a file system hands them out, and on top
// of them the lines, the comma-delimited fields and the raw bytes the
// program reads. Reading never fails outward: a failed read counts as the
// end of the file, and only a caller that must tell the two apart asks.
#ifndef TROVANE_PLATFORM_INPUT_FILE_H_
#define TROVANE_PLATFORM_INPUT_FILE_H_

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace trovane {

// The longest line read from a file the user gives the program.
inline constexpr size_t kLongestLine = size_t{64} << 10;

// A file open for reading under a file number.
class ReadableFile {
 public:
  virtual ~ReadableFile() = default;
  virtual int number() const = 0;
  // Up to `size` bytes into `out`, 0 at the end of the file; nothing when
  // the read fails.
  virtual std::optional<size_t> Read(char* out, size_t size) = 0;
  // Closes the file and gives its number back; false when closing failed.
  virtual bool Close() = 0;
};

class InputFile {
 public:
  explicit InputFile(std::unique_ptr<ReadableFile> file);

  int number() const { return file_->number(); }

  // The next line without its line end. Lines end at LF; a CR right before
  // the LF belongs to the line end. The last line needs no line end. False
  // at the end of the file.
  bool ReadLine(std::string* line);

  // The next comma-delimited field: leading blanks are skipped; a field
  // that begins with a double quote runs to the next double quote (a comma
  // between them belongs to the field) and whatever follows it up to the
  // next comma or line end is dropped, or to the line end when the quote is
  // never closed; any other field runs to the next comma or line end,
  // blanks at its end removed. An empty line reads as one empty field.
  // False at the end of the file.
  bool ReadField(std::string* field);

  // The same field as a view, valid until the next read: into the file's
  // buffer where the field lies whole in it, else into `spill`. For long
  // files read field by field without a copy of each.
  bool ReadField(std::string_view* field, std::string* spill);

  // Up to `size` bytes; fewer at the end of the file.
  size_t ReadBytes(char* out, size_t size);

  // Passes over a UTF-8 byte-order mark at the very start of the file, as
  // an editor saves one, so that it is not taken as part of the first line.
  // True when there was one. To be asked before anything else is read.
  bool SkipByteOrderMark();

  // Bounds what one line can cost: a line (or a field of one) longer than
  // `longest` bytes reads as empty and the rest of its line is passed over
  // unread, so that memory never grows with a line's length. Files the user
  // gives the program are read so; the databank keeps its lines whole.
  void LimitLines(size_t longest) { longest_line_ = longest; }

  // True when the last line or field read was empty because its line ran
  // past the limit.
  bool overlong() const { return overlong_; }

  // True once nothing is left to read.
  bool AtEnd();

  // True when the end came from a read that failed rather than from the
  // end of the file: what was read is then not the whole file.
  bool failed() const { return failed_; }

  void Close() { file_->Close(); }

 private:
  // Makes at least one unread byte available; false at the end.
  bool Fill();
  // The bytes a read brought, noting the end and a failure.
  size_t Take(std::optional<size_t> read);
  // Appends bytes up to (not including) the first of `stops` or the end;
  // well past the line limit, empties `out` and passes over the rest of the
  // line.
  void TakeUntil(const char* stops, std::string* out);
  // Moves to the line feed that ends the line being read, or to the end.
  void SkipToLineEnd();
  // Past the line limit, empties `text` and passes over the rest of its
  // line.
  void PassOverIfLonger(std::string* text);

  std::unique_ptr<ReadableFile> file_;
  // Made at the first read and never cleared: a file read two bytes at a
  // time, once a millisecond, costs no 64 KiB of zeroes each time.
  std::unique_ptr<char[]> buffer_;
  size_t position_ = 0;
  size_t end_ = 0;
  bool exhausted_ = false;
  bool failed_ = false;
  size_t longest_line_ = static_cast<size_t>(-1);
  bool overlong_ = false;
};

}  // namespace trovane

#endif  // TROVANE_PLATFORM_INPUT_FILE_H_
