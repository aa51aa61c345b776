#include "platform/listing_count.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <charconv>

#include "platform/linux/unique_fd.h"

namespace trovane {
namespace {

constexpr size_t kSize = sizeof(std::atomic<uint64_t>);

}  // namespace

std::unique_ptr<ListingCount> ListingCount::Map(intptr_t native) {
  UniqueFd fd(static_cast<int>(native));
  struct stat info;
  if (!fd.valid() || fstat(fd.get(), &info) != 0 ||
      static_cast<size_t>(info.st_size) < kSize) {
    return nullptr;
  }
  void* word =
      mmap(nullptr, kSize, PROT_READ | PROT_WRITE, MAP_SHARED, fd.get(), 0);
  if (word == MAP_FAILED) return nullptr;
  return std::unique_ptr<ListingCount>(new ListingCount(
      fd.Release(), static_cast<std::atomic<uint64_t>*>(word)));
}

std::unique_ptr<ListingCount> ListingCount::Create() {
  UniqueFd fd(memfd_create("trovane-listing-count", MFD_CLOEXEC));
  if (!fd.valid() || ftruncate(fd.get(), kSize) != 0) return nullptr;
  return Map(fd.Release());
}

std::unique_ptr<ListingCount> ListingCount::Inherited(
    const Environment& environment) {
  const std::string setting = environment.Get(kVariable);
  int fd = -1;
  const auto [end, error] =
      std::from_chars(setting.data(), setting.data() + setting.size(), fd);
  if (error != std::errc() || end != setting.data() + setting.size() ||
      fd < 0) {
    return nullptr;
  }
  // Only a memory file of the right size is taken: a number that names some
  // other descriptor is left alone.
  UniqueFd inherited(fcntl(fd, F_DUPFD_CLOEXEC, 0));
  if (!inherited.valid() || fcntl(inherited.get(), F_GET_SEALS) < 0) {
    return nullptr;
  }
  return Map(inherited.Release());
}

ListingCount::~ListingCount() {
  munmap(value_, kSize);
  close(static_cast<int>(native_));
}

}  // namespace trovane
