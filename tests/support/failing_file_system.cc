#include "tests/support/failing_file_system.h"

#include "platform/text.h"

namespace trovane::testing {

// An open file whose reads, writes or close fail when the rules say so.
class FailingFileSystem::File final : public ReadableFile, public WritableFile {
 public:
  File(FailingFileSystem& owner, std::string path,
       std::unique_ptr<ReadableFile> reader,
       std::unique_ptr<WritableFile> writer)
      : owner_(owner),
        path_(std::move(path)),
        reader_(std::move(reader)),
        writer_(std::move(writer)) {}

  int number() const override {
    return reader_ ? reader_->number() : writer_->number();
  }
  std::optional<size_t> Read(char* out, size_t size) override {
    if (owner_.Fails(Operation::kRead, path_)) return std::nullopt;
    return reader_->Read(out, size);
  }
  // A write that fails has written the first half of its bytes, as a
  // disk that fills up on the way does.
  bool Write(std::string_view bytes) override {
    if (owner_.Fails(Operation::kWrite, path_)) {
      writer_->Write(bytes.substr(0, bytes.size() / 2));
      return false;
    }
    return writer_->Write(bytes);
  }
  bool Sync() override { return writer_->Sync(); }
  bool Truncate(int64_t size) override { return writer_->Truncate(size); }
  bool Close() override {
    const bool closed = reader_ ? reader_->Close() : writer_->Close();
    return !owner_.Fails(Operation::kClose, path_) && closed;
  }

 private:
  FailingFileSystem& owner_;
  std::string path_;
  std::unique_ptr<ReadableFile> reader_;
  std::unique_ptr<WritableFile> writer_;
};

void FailingFileSystem::Fail(Operation operation, std::string_view path_part) {
  rules_.push_back({operation, std::string(path_part)});
}

bool FailingFileSystem::Fails(Operation operation, std::string_view path) {
  for (const Rule& rule : rules_) {
    if (rule.operation == operation && ContainsNoCase(path, rule.path_part)) {
      ++failures_;
      return true;
    }
  }
  return false;
}

std::string FailingFileSystem::Probe(std::string_view path) {
  return base_.Probe(path);
}

std::optional<FileStatus> FailingFileSystem::Status(std::string_view path) {
  return base_.Status(path);
}

bool FailingFileSystem::Delete(std::string_view path) {
  return !Fails(Operation::kDelete, path) && base_.Delete(path);
}

bool FailingFileSystem::Rename(std::string_view from, std::string_view to) {
  return !Fails(Operation::kRename, from) && !Fails(Operation::kRename, to) &&
         base_.Rename(from, to);
}

bool FailingFileSystem::Link(std::string_view from, std::string_view to) {
  return !Fails(Operation::kLink, from) && !Fails(Operation::kLink, to) &&
         base_.Link(from, to);
}

bool FailingFileSystem::MakeFolder(std::string_view path) {
  return base_.MakeFolder(path);
}

std::unique_ptr<ReadableFile> FailingFileSystem::OpenReadable(
    std::string_view path, OpenOptions options) {
  if (Fails(Operation::kOpen, path)) return nullptr;
  std::unique_ptr<ReadableFile> file = base_.OpenReadable(path, options);
  if (!file) return nullptr;
  return std::make_unique<File>(*this, std::string(path), std::move(file),
                                nullptr);
}

std::unique_ptr<WritableFile> FailingFileSystem::OpenWritable(
    std::string_view path, WriteMode mode, OpenOptions options) {
  if (Fails(Operation::kOpen, path)) return nullptr;
  std::unique_ptr<WritableFile> file = base_.OpenWritable(path, mode, options);
  if (!file) return nullptr;
  return std::make_unique<File>(*this, std::string(path), nullptr,
                                std::move(file));
}

LockClaim FailingFileSystem::ClaimSwap(std::string_view path) {
  if (Fails(Operation::kLock, path)) return {};
  return base_.ClaimSwap(path);
}

LockClaim FailingFileSystem::ClaimFolderLock(std::string_view path) {
  if (Fails(Operation::kLock, path)) return {};
  return base_.ClaimFolderLock(path);
}

std::optional<std::string> FailingFileSystem::LinkTarget(
    std::string_view path) {
  return base_.LinkTarget(path);
}

std::optional<FileStatus> FailingFileSystem::EntryStatus(
    std::string_view path) {
  return base_.EntryStatus(path);
}

std::optional<std::string> FailingFileSystem::SystemPath(
    std::string_view path) {
  return base_.SystemPath(path);
}

std::optional<std::string> FailingFileSystem::OwnTemporaryFolder(
    std::string_view path, std::string* in_the_way) {
  return base_.OwnTemporaryFolder(path, in_the_way);
}

bool FailingFileSystem::CanMakeFilesIn(std::string_view path) {
  return base_.CanMakeFilesIn(path);
}

bool FailingFileSystem::CopyAttributes(std::string_view from,
                                       std::string_view to) {
  return base_.CopyAttributes(from, to);
}

bool FailingFileSystem::SyncFolderOf(std::string_view path) {
  return base_.SyncFolderOf(path);
}

bool FailingFileSystem::InUse(std::string_view path) {
  return base_.InUse(path);
}

std::unique_ptr<FolderWatch> FailingFileSystem::WatchFolder(
    std::string_view path) {
  return base_.WatchFolder(path);
}

}  // namespace trovane::testing
