#include "platform/listing_count.h"

#include <windows.h>

#include <charconv>

namespace trovane {
namespace {

constexpr size_t kSize = sizeof(std::atomic<uint64_t>);

}  // namespace

std::unique_ptr<ListingCount> ListingCount::Map(intptr_t native) {
  const HANDLE mapping = reinterpret_cast<HANDLE>(native);
  // Only a mapping maps: a number that names another kind of handle fails
  // here.
  void* word =
      MapViewOfFile(mapping, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, kSize);
  if (word == nullptr) {
    CloseHandle(mapping);
    return nullptr;
  }
  return std::unique_ptr<ListingCount>(
      new ListingCount(native, static_cast<std::atomic<uint64_t>*>(word)));
}

std::unique_ptr<ListingCount> ListingCount::Create() {
  // Not inheritable: the launcher lets only the process it starts inherit
  // it, and only while it starts it.
  const HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr,
                                            PAGE_READWRITE, 0, kSize, nullptr);
  if (mapping == nullptr) return nullptr;
  return Map(reinterpret_cast<intptr_t>(mapping));
}

std::unique_ptr<ListingCount> ListingCount::Inherited(
    const Environment& environment) {
  const std::string setting = environment.Get(kVariable);
  uintptr_t number = 0;
  const auto [end, error] =
      std::from_chars(setting.data(), setting.data() + setting.size(), number);
  if (error != std::errc() || end != setting.data() + setting.size() ||
      number == 0) {
    return nullptr;
  }
  // A copy that no process started from here inherits; the handle as
  // inherited is left alone, since a stale number may name another one.
  HANDLE copy = nullptr;
  if (DuplicateHandle(GetCurrentProcess(), reinterpret_cast<HANDLE>(number),
                      GetCurrentProcess(), &copy, 0, FALSE,
                      DUPLICATE_SAME_ACCESS) == 0) {
    return nullptr;
  }
  return Map(reinterpret_cast<intptr_t>(copy));
}

ListingCount::~ListingCount() {
  UnmapViewOfFile(value_);
  CloseHandle(reinterpret_cast<HANDLE>(native_));
}

}  // namespace trovane
