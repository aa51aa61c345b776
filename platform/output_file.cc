#include "platform/output_file.h"

#include <utility>

namespace trovane {
namespace {

constexpr size_t kFlushSize = 1 << 16;

}  // namespace

OutputFile::OutputFile(std::unique_ptr<WritableFile> file)
    : file_(std::move(file)) {}

OutputFile::~OutputFile() { Close(); }

void OutputFile::Write(std::string_view bytes) {
  pending_.append(bytes);
  if (pending_.size() >= kFlushSize) Flush();
}

void OutputFile::WriteLine(std::string_view text) {
  Write(text);
  Write("\r\n");
}

bool OutputFile::Flush() {
  if (!pending_.empty() && (closed_ || !file_->Write(pending_))) ok_ = false;
  pending_.clear();
  return ok_;
}

bool OutputFile::Sync() {
  if (!Flush() || !file_->Sync()) ok_ = false;
  return ok_;
}

bool OutputFile::Close() {
  if (closed_) return ok_;
  Flush();
  closed_ = true;
  if (!file_->Close()) ok_ = false;
  return ok_;
}

}  // namespace trovane
