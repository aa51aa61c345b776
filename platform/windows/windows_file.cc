#include "platform/windows/windows_file.h"

#include <algorithm>
#include <climits>

namespace trovane {
namespace {

// One call moves at most this much: the calls count bytes in 32 bits.
constexpr size_t kLargestCall = 1U << 30;

}  // namespace

std::unique_ptr<WindowsFile> WindowsFile::Take(UniqueHandle handle,
                                               FileNumbers* numbers,
                                               Writes writes) {
  std::unique_ptr<WindowsFile> file(new WindowsFile(std::move(handle), writes));
  if (numbers == nullptr) return file;
  file->lease_ = numbers->Take(file.get());
  if (file->lease_.number() == 0) return nullptr;
  return file;
}

std::optional<size_t> WindowsFile::Read(char* out, size_t size) {
  if (!handle_.valid()) return std::nullopt;
  DWORD read = 0;
  if (ReadFile(handle_.get(), out,
               static_cast<DWORD>(std::min(size, kLargestCall)), &read,
               nullptr) == 0) {
    // A pipe whose writer is gone has simply ended.
    if (GetLastError() == ERROR_BROKEN_PIPE) return 0;
    return std::nullopt;
  }
  return static_cast<size_t>(read);
}

bool WindowsFile::Write(std::string_view bytes) {
  return handle_.valid() &&
         WriteAll(handle_.get(), bytes, writes_ == Writes::kAtEnd);
}

bool WindowsFile::Sync() {
  return handle_.valid() && FlushFileBuffers(handle_.get()) != 0;
}

bool WindowsFile::Truncate(int64_t size) {
  FILE_END_OF_FILE_INFO end{};
  end.EndOfFile.QuadPart = size;
  return handle_.valid() &&
         SetFileInformationByHandle(handle_.get(), FileEndOfFileInfo, &end,
                                    sizeof end) != 0;
}

bool WindowsFile::Close() {
  lease_.Release();
  return handle_.Reset();
}

bool WriteAll(HANDLE handle, std::string_view bytes, bool at_end) {
  while (!bytes.empty()) {
    DWORD written = 0;
    // Both halves of the offset all ones: the system writes at the end of
    // the file in the same step, as an appending open would. The handle
    // keeps its right to cut the file back, which appending alone lacks.
    OVERLAPPED end{};
    end.Offset = end.OffsetHigh = 0xFFFFFFFF;
    if (WriteFile(handle, bytes.data(),
                  static_cast<DWORD>(std::min(bytes.size(), kLargestCall)),
                  &written, at_end ? &end : nullptr) == 0 ||
        written == 0) {
      return false;
    }
    bytes.remove_prefix(written);
  }
  return true;
}

}  // namespace trovane
