#include "platform/file_numbers.h"

#include <utility>

namespace trovane {

FileNumbers& FileNumbers::Process() {
  static FileNumbers* const table = new FileNumbers();
  return *table;
}

FileNumbers::Lease FileNumbers::Take(Holder* holder) {
  for (int number = 1; number <= kHighest; ++number) {
    Slot& slot = slots_[number];
    if (slot.ticket != 0) continue;
    slot = {holder, next_ticket_++};
    return Lease(this, number, slot.ticket);
  }
  return Lease();
}

void FileNumbers::CloseAll() {
  for (int number = 1; number <= kHighest; ++number) {
    // Cleared first: a holder that closes itself gives nothing back twice.
    const Slot slot = std::exchange(slots_[number], Slot());
    if (slot.ticket != 0 && slot.holder != nullptr) slot.holder->CloseForAll();
  }
}

int FileNumbers::OpenCount() const {
  int count = 0;
  for (int number = 1; number <= kHighest; ++number) {
    if (slots_[number].ticket != 0) ++count;
  }
  return count;
}

FileNumbers::Lease::Lease(Lease&& other) noexcept
    : table_(std::exchange(other.table_, nullptr)),
      number_(std::exchange(other.number_, 0)),
      ticket_(std::exchange(other.ticket_, 0)) {}

FileNumbers::Lease& FileNumbers::Lease::operator=(Lease&& other) noexcept {
  if (this != &other) {
    Release();
    table_ = std::exchange(other.table_, nullptr);
    number_ = std::exchange(other.number_, 0);
    ticket_ = std::exchange(other.ticket_, 0);
  }
  return *this;
}

void FileNumbers::Lease::Release() {
  if (table_ == nullptr) return;
  Slot& slot = table_->slots_[number_];
  if (slot.ticket == ticket_) slot = Slot();
  table_ = nullptr;  // the number stays readable for the logs
  ticket_ = 0;
}

}  // namespace trovane
