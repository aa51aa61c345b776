// How many paths a scan batch has listed so far: counted by the
// interpreter as it writes the disk map, and read by the program while it
// waits, to show that the scan is alive. The two share one word of memory,
// so that the count costs the interpreter no system call and the program
// neither a file nor a wake-up. The program's launcher makes the count and
// hands it over as an inherited descriptor (a handle on Windows) whose
// number is in the variable TROVANE_PROGRESS_FD.
#ifndef TROVANE_PLATFORM_LISTING_COUNT_H_
#define TROVANE_PLATFORM_LISTING_COUNT_H_

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/environment.h"

namespace trovane {

class ListingCount {
 public:
  static constexpr char kVariable[] = "TROVANE_PROGRESS_FD";

  // A new count at 0, to hand to an interpreter; null when no shared memory
  // can be had.
  static std::unique_ptr<ListingCount> Create();

  // The count this process was handed by the one that started it; null
  // when it was handed none.
  static std::unique_ptr<ListingCount> Inherited(
      const Environment& environment);

  ListingCount(const ListingCount&) = delete;
  ListingCount& operator=(const ListingCount&) = delete;
  ~ListingCount();

  uint64_t Read() const { return value_->load(std::memory_order_relaxed); }
  void Publish(uint64_t paths) {
    value_->store(paths, std::memory_order_relaxed);
  }

  // What a process started now inherits: the descriptor or handle of the
  // shared word, and the setting "TROVANE_PROGRESS_FD=N" that names it.
  intptr_t native() const { return native_; }
  std::string Setting() const {
    return std::string(kVariable) + "=" + std::to_string(native_);
  }

 private:
  ListingCount(intptr_t native, std::atomic<uint64_t>* value)
      : native_(native), value_(value) {}
  // Maps the word `native` holds, taking it over; null (and `native`
  // closed) when that fails.
  static std::unique_ptr<ListingCount> Map(intptr_t native);

  intptr_t native_;
  std::atomic<uint64_t>* value_;
};

}  // namespace trovane

#endif  // TROVANE_PLATFORM_LISTING_COUNT_H_
