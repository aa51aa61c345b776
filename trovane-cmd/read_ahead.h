// Which folder a reading thread takes next, and how far the reading may
// run ahead of the writing. Folders are read in listing order, as far as
// they are known: the next one taken is always the first in listing order
// of those whose parent has been read. So the folder the writer waits for
// is read first, and what is read ahead is what the writer needs soonest.
//
// Memory stays bounded: at most `folders_ahead` folders are being read or
// wait to be written, and no reading starts while their lines and index
// records take `bytes_ahead` bytes. Readers held back by the bounds go on once
// the writer has made room for a quarter of them, so that they wake for a run
// of folders rather than one at a time. The folder the writer needs next
// is read whatever the bounds, so the walk never waits on itself: when no
// reader has taken it yet, the writer reads it itself.
#ifndef TROVANE_TROVANE_CMD_READ_AHEAD_H_
#define TROVANE_TROVANE_CMD_READ_AHEAD_H_

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <queue>
#include <string>
#include <vector>

#include "trovane-cmd/walk_node.h"

namespace trovane {

class ReadAhead {
 public:
  ReadAhead(size_t folders_ahead, size_t bytes_ahead)
      : folders_ahead_(folders_ahead), bytes_ahead_(bytes_ahead) {}

  // The first folder to read.
  void Start(WalkNode* root);

  // For a reading thread: the next folder to read, once there is one and
  // the bounds allow it; null once the walk is stopped.
  WalkNode* Take();
  // The folder taken is read, its node filled in: its subfolders may be
  // read now.
  void Finished(WalkNode* node);

  // For the writer, which needs `node` next: true when it is to read the
  // folder itself (then Finished() follows), false once it is read.
  bool TakeOrWait(WalkNode* node);
  // The lines of `node` are written; their buffer goes back to the readers,
  // and its index record is let go of.
  void Written(WalkNode* node);

  // Ends every Take(), now and later.
  void Stop();

 private:
  struct Later {
    bool operator()(const WalkNode* a, const WalkNode* b) const {
      return IsBefore(b, a);
    }
  };

  // Under the lock.
  bool RoomAhead(size_t folders, size_t bytes) const {
    return ahead_ < folders && ahead_bytes_ < bytes;
  }
  bool MayTake() const;
  WalkNode* TakeFirst();
  void WakeReaders(size_t count);

  const size_t folders_ahead_;
  const size_t bytes_ahead_;

  std::mutex mutex_;
  std::condition_variable work_;  // for the reading threads
  std::condition_variable read_;  // for the writer
  std::priority_queue<WalkNode*, std::vector<WalkNode*>, Later> unread_;
  WalkNode* wanted_ = nullptr;  // what the writer waits for another to read
  size_t ahead_ = 0;            // folders taken and not yet written
  size_t ahead_bytes_ = 0;      // the lines of those read
  size_t idle_readers_ = 0;
  bool held_back_ = false;  // the bounds were reached
  bool stopped_ = false;
  // Buffers of lines already written, for the next folders read: used
  // memory is used again, rather than handed back and asked for anew.
  std::vector<std::string> spare_lines_;
};

}  // namespace trovane

#endif  // TROVANE_TROVANE_CMD_READ_AHEAD_H_
