// The process's file numbers. Every file the program opens holds one of the
// numbers 1 to 255 while it is open: the lowest one free at the moment it
// is opened. The databank I/O log prints them as serials, so the table is
// process-wide and nothing else hands numbers out.
#ifndef TROVANE_PLATFORM_FILE_NUMBERS_H_
#define TROVANE_PLATFORM_FILE_NUMBERS_H_

#include <array>
#include <cstdint>

namespace trovane {

class FileNumbers {
 public:
  static constexpr int kHighest = 255;

  // The one table of this process.
  static FileNumbers& Process();

  // An open file's hold on its number and on its descriptor. Ending the
  // lease closes the descriptor and frees the number, unless CloseAll() got
  // there first.
  class Lease {
   public:
    Lease() = default;
    Lease(Lease&& other) noexcept;
    Lease& operator=(Lease&& other) noexcept;
    Lease(const Lease&) = delete;
    Lease& operator=(const Lease&) = delete;
    ~Lease();

    // The file number, also after closing; 0 when the lease never held one.
    int number() const { return number_; }
    // The descriptor, or -1 once the file has been closed.
    int fd() const;
    // Closes the file now; false when closing reported an error.
    bool Close();

   private:
    friend class FileNumbers;
    Lease(FileNumbers* table, int number, uint64_t ticket)
        : table_(table), number_(number), ticket_(ticket) {}

    FileNumbers* table_ = nullptr;
    int number_ = 0;
    uint64_t ticket_ = 0;
  };

  // Gives `fd` the lowest free number. When all numbers are taken the
  // descriptor is closed and the lease holds no number.
  Lease Take(int fd);

  // Closes every open file of the program.
  void CloseAll();

  // How many numbers are taken.
  int OpenCount() const;

 private:
  struct Slot {
    int fd = -1;
    uint64_t ticket = 0;  // 0 while the slot is free
  };

  bool Release(int number, uint64_t ticket);
  int DescriptorOf(int number, uint64_t ticket) const;

  std::array<Slot, kHighest + 1> slots_{};
  uint64_t next_ticket_ = 1;
};

}  // namespace trovane

#endif  // TROVANE_PLATFORM_FILE_NUMBERS_H_
