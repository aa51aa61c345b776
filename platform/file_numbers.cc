#include "platform/file_numbers.h"

#include <unistd.h>

#include <utility>

namespace trovane {

FileNumbers& FileNumbers::Process() {
  static FileNumbers* const table = new FileNumbers();
  return *table;
}

FileNumbers::Lease FileNumbers::Take(int fd) {
  for (int number = 1; number <= kHighest; ++number) {
    Slot& slot = slots_[number];
    if (slot.ticket != 0) continue;
    slot.fd = fd;
    slot.ticket = next_ticket_++;
    return Lease(this, number, slot.ticket);
  }
  close(fd);
  return Lease();
}

void FileNumbers::CloseAll() {
  for (int number = 1; number <= kHighest; ++number) {
    Slot& slot = slots_[number];
    if (slot.ticket == 0) continue;
    close(slot.fd);
    slot = Slot();
  }
}

int FileNumbers::OpenCount() const {
  int count = 0;
  for (int number = 1; number <= kHighest; ++number) {
    if (slots_[number].ticket != 0) ++count;
  }
  return count;
}

bool FileNumbers::Release(int number, uint64_t ticket) {
  Slot& slot = slots_[number];
  if (slot.ticket != ticket) return true;  // CloseAll() closed it already
  const bool closed = close(slot.fd) == 0;
  slot = Slot();
  return closed;
}

int FileNumbers::DescriptorOf(int number, uint64_t ticket) const {
  const Slot& slot = slots_[number];
  return slot.ticket == ticket ? slot.fd : -1;
}

FileNumbers::Lease::Lease(Lease&& other) noexcept
    : table_(std::exchange(other.table_, nullptr)),
      number_(std::exchange(other.number_, 0)),
      ticket_(std::exchange(other.ticket_, 0)) {}

FileNumbers::Lease& FileNumbers::Lease::operator=(Lease&& other) noexcept {
  if (this != &other) {
    Close();
    table_ = std::exchange(other.table_, nullptr);
    number_ = std::exchange(other.number_, 0);
    ticket_ = std::exchange(other.ticket_, 0);
  }
  return *this;
}

FileNumbers::Lease::~Lease() { Close(); }

int FileNumbers::Lease::fd() const {
  return table_ == nullptr ? -1 : table_->DescriptorOf(number_, ticket_);
}

bool FileNumbers::Lease::Close() {
  if (table_ == nullptr) return true;
  const bool closed = table_->Release(number_, ticket_);
  table_ = nullptr;  // the number stays readable for the logs
  ticket_ = 0;
  return closed;
}

}  // namespace trovane
