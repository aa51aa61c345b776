#include "platform/file_system.h"

namespace trovane {
namespace {

std::unique_ptr<OutputFile> Writer(std::unique_ptr<WritableFile> file) {
  if (!file) return nullptr;
  return std::make_unique<OutputFile>(std::move(file));
}

}  // namespace

bool FileSystem::IsFile(std::string_view path) {
  const std::optional<FileStatus> status = Status(path);
  return status && status->is_file;
}

bool FileSystem::IsFolder(std::string_view path) {
  const std::optional<FileStatus> status = Status(path);
  return status && status->is_folder;
}

std::optional<int64_t> FileSystem::Length(std::string_view path) {
  const std::optional<FileStatus> status = Status(path);
  if (!status || !status->is_file) return std::nullopt;
  return status->length;
}

std::optional<LocalTime> FileSystem::LastModified(std::string_view path) {
  const std::optional<FileStatus> status = Status(path);
  if (!status) return std::nullopt;
  return status->modified;
}

std::unique_ptr<InputFile> FileSystem::OpenForReading(std::string_view path,
                                                      OpenOptions options) {
  std::unique_ptr<ReadableFile> file = OpenReadable(path, options);
  if (!file) return nullptr;
  return std::make_unique<InputFile>(std::move(file));
}

std::unique_ptr<OutputFile> FileSystem::OpenForWriting(std::string_view path,
                                                       OpenOptions options) {
  return Writer(OpenWritable(path, WriteMode::kReplace, options));
}

std::unique_ptr<OutputFile> FileSystem::OpenForAppending(std::string_view path,
                                                         OpenOptions options) {
  return Writer(OpenWritable(path, WriteMode::kAppend, options));
}

bool FileSystem::WriteLines(std::string_view path, WriteMode mode,
                            OpenOptions options,
                            std::initializer_list<std::string_view> lines) {
  std::unique_ptr<OutputFile> file = Writer(OpenWritable(path, mode, options));
  if (!file) return false;
  for (const std::string_view line : lines) file->WriteLine(line);
  return file->Close();
}

}  // namespace trovane
