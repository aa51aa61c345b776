#include "platform/input_file.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <utility>

#include "platform/text.h"

namespace trovane {
namespace {

constexpr size_t kBufferSize = 1 << 16;

// An unquoted field ends before the CR of its line end and its last blanks.
std::string_view TrimFieldEnd(std::string_view field) {
  if (!field.empty() && field.back() == '\r') field.remove_suffix(1);
  while (!field.empty() && field.back() == ' ') field.remove_suffix(1);
  return field;
}

}  // namespace

InputFile::InputFile(std::unique_ptr<ReadableFile> file)
    : file_(std::move(file)) {}

bool InputFile::Fill() {
  if (position_ < end_) return true;
  if (exhausted_) return false;
  position_ = end_ = 0;
  if (!buffer_) buffer_ = std::make_unique_for_overwrite<char[]>(kBufferSize);
  end_ = Take(file_->Read(buffer_.get(), kBufferSize));
  return !exhausted_;
}

size_t InputFile::Take(std::optional<size_t> read) {
  failed_ = failed_ || !read;
  exhausted_ = read.value_or(0) == 0;
  return read.value_or(0);
}

bool InputFile::AtEnd() { return !Fill(); }

bool InputFile::ReadLine(std::string* line) {
  line->clear();
  overlong_ = false;
  if (!Fill()) return false;
  TakeUntil("\n", line);
  if (!line->empty() && line->back() == '\r') line->pop_back();
  PassOverIfLonger(line);
  if (Fill()) ++position_;  // the line feed
  return true;
}

void InputFile::PassOverIfLonger(std::string* text) {
  if (text->size() <= longest_line_) return;
  overlong_ = true;
  text->clear();
  SkipToLineEnd();
}

void InputFile::SkipToLineEnd() {
  while (Fill()) {
    const char* start = buffer_.get() + position_;
    const void* newline = std::memchr(start, '\n', end_ - position_);
    if (newline != nullptr) {
      position_ += static_cast<const char*>(newline) - start;
      return;
    }
    position_ = end_;
  }
}

bool InputFile::SkipByteOrderMark() {
  constexpr std::string_view kMark = kByteOrderMark;
  // The mark may come in reads shorter than itself: what came is kept at
  // the buffer's start until the mark is whole or ruled out.
  while (Fill()) {
    const std::string_view held(buffer_.get() + position_, end_ - position_);
    if (!kMark.starts_with(held.substr(0, kMark.size()))) return false;
    if (held.size() >= kMark.size()) {
      position_ += kMark.size();
      return true;
    }
    std::memmove(buffer_.get(), held.data(), held.size());
    position_ = 0;
    end_ = held.size();
    const size_t more =
        Take(file_->Read(buffer_.get() + end_, kBufferSize - end_));
    if (more == 0) return false;
    end_ += more;
  }
  return false;
}

void InputFile::TakeUntil(const char* stops, std::string* out) {
  // Each stop is looked for only before the nearest earlier one, so putting
  // the line end first keeps the search to one line.
  while (Fill()) {
    const char* start = buffer_.get() + position_;
    const size_t available = end_ - position_;
    size_t length = available;
    for (const char* stop = stops; *stop != '\0'; ++stop) {
      const void* hit = std::memchr(start, *stop, length);
      if (hit != nullptr) length = static_cast<const char*>(hit) - start;
    }
    out->append(start, length);
    position_ += length;
    // One byte more than the limit may still be a CR of the line end,
    // which the caller drops before it judges the length.
    if (out->size() > longest_line_ && out->size() - longest_line_ > 1) {
      overlong_ = true;
      out->clear();
      SkipToLineEnd();
      return;
    }
    if (length < available) return;
  }
}

bool InputFile::ReadField(std::string* field) {
  std::string_view view;
  if (!ReadField(&view, field)) {
    field->clear();
    return false;
  }
  if (view.data() != field->data()) field->assign(view);
  return true;
}

bool InputFile::ReadField(std::string_view* field, std::string* spill) {
  overlong_ = false;
  if (!Fill()) return false;
  // The common case, a plain field whose line is already in the buffer, is
  // taken where it lies.
  const char* start = buffer_.get() + position_;
  const size_t available = end_ - position_;
  const void* newline = *start == ' ' || *start == '"'
                            ? nullptr
                            : std::memchr(start, '\n', available);
  if (newline != nullptr &&
      static_cast<size_t>(static_cast<const char*>(newline) - start) <=
          longest_line_) {
    size_t length = static_cast<const char*>(newline) - start;
    const void* comma = std::memchr(start, ',', length);
    if (comma != nullptr) length = static_cast<const char*>(comma) - start;
    position_ += length + 1;  // with the comma or the line feed
    *field = TrimFieldEnd(std::string_view(start, length));
    return true;
  }
  spill->clear();
  while (Fill() && buffer_[position_] == ' ') ++position_;
  if (Fill() && buffer_[position_] == '"') {
    ++position_;
    // A quote left open ends with its line: one stray quote must not
    // swallow the lines after it.
    TakeUntil("\n\"", spill);
    if (Fill() && buffer_[position_] == '"') {
      ++position_;
      std::string dropped;
      TakeUntil("\n,", &dropped);
      if (overlong_) spill->clear();
    } else if (!spill->empty() && spill->back() == '\r') {
      spill->pop_back();
    }
    PassOverIfLonger(spill);
    if (Fill()) ++position_;  // the comma or the line feed
    *field = *spill;
    return true;
  }
  TakeUntil("\n,", spill);
  spill->resize(TrimFieldEnd(*spill).size());
  PassOverIfLonger(spill);
  if (Fill()) ++position_;  // the comma or the line feed
  *field = *spill;
  return true;
}

size_t InputFile::ReadBytes(char* out, size_t size) {
  size_t done = 0;
  // Nothing buffered yet: a short read goes straight to the caller, one
  // system call asking for just those bytes.
  if (position_ == end_ && !exhausted_ && size < kBufferSize) {
    done = Take(file_->Read(out, size));
  }
  while (done < size && Fill()) {
    const size_t n = std::min(size - done, end_ - position_);
    std::memcpy(out + done, buffer_.get() + position_, n);
    position_ += n;
    done += n;
  }
  return done;
}

}  // namespace trovane
