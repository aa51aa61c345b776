// The process's file numbers. Every file the program opens, but for its
// two logs, holds one of the numbers 1 to 255 while it is open: the lowest
// one free at the moment it is opened. The databank I/O log prints them as
// serials, so the table is process-wide and nothing else hands numbers out.
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

  // An open file, which CloseAll() can close while it holds its number.
  class Holder {
   public:
    virtual void CloseForAll() = 0;

   protected:
    ~Holder() = default;
  };

  // A hold on one number. Ending the lease gives the number back, unless
  // CloseAll() got there first; a number that came round again to a newer
  // file is never touched.
  class Lease {
   public:
    Lease() = default;
    Lease(Lease&& other) noexcept;
    Lease& operator=(Lease&& other) noexcept;
    Lease(const Lease&) = delete;
    Lease& operator=(const Lease&) = delete;
    ~Lease() { Release(); }

    // The number, also after it was given back; 0 when none was free.
    int number() const { return number_; }
    // Gives the number back now.
    void Release();

   private:
    friend class FileNumbers;
    Lease(FileNumbers* table, int number, uint64_t ticket)
        : table_(table), number_(number), ticket_(ticket) {}

    FileNumbers* table_ = nullptr;
    int number_ = 0;
    uint64_t ticket_ = 0;
  };

  // The lowest free number for `holder`, which must outlive the lease; a
  // lease without a number when all are taken. A null holder takes a number
  // for a file that only needs its place counted.
  Lease Take(Holder* holder);

  // Closes every open file of the program.
  void CloseAll();

  // How many numbers are taken.
  int OpenCount() const;

 private:
  struct Slot {
    Holder* holder = nullptr;
    uint64_t ticket = 0;  // 0 while the slot is free
  };

  std::array<Slot, kHighest + 1> slots_{};
  uint64_t next_ticket_ = 1;
};

}  // namespace trovane

#endif  // TROVANE_PLATFORM_FILE_NUMBERS_H_
