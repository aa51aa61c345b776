#include "search/disk_map_scan.h"

#include <cmath>
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/text.h"
#include "search/search_pass.h"
#include "search/suffix_index.h"

namespace trovane {
namespace {

constexpr double kLabelInterval = 0.25;  // seconds between label updates
constexpr size_t kLongPath = 34;
constexpr size_t kShownFolder = 30;
constexpr uint64_t kRecordsPerClockRead = 32;

// The wanted entries still in FileList, by key and upper-cased value, kept
// in step with the list box, with an index over the values.
class WantedEntries {
 public:
  explicit WantedEntries(const ListBox& list) {
    std::unordered_map<std::string, int> numbers;
    std::vector<std::string> values;
    for (const std::string& item : list.items()) {
      const size_t equals = item.find('=');
      Entry entry;
      if (equals == std::string::npos) {
        entry.value = UpperAscii(TrimBlanks(item));
      } else {
        entry.key = TrimBlanks(std::string_view{item}.substr(0, equals));
        entry.value =
            UpperAscii(TrimBlanks(std::string_view{item}.substr(equals + 1)));
      }
      const auto [it, added] =
          numbers.emplace(entry.value, static_cast<int>(values.size()));
      if (added) values.push_back(entry.value);
      entry.number = it->second;
      entries_.push_back(std::move(entry));
    }
    matched_.resize(values.size());
    index_ = std::make_unique<SuffixIndex>(values);
  }

  // Records every entry whose value the record ends with, in list order,
  // under the record upper-cased, and takes it off the list.
  void Match(std::string_view record, Window& window, Data& data) {
    bool any = false;
    index_->ForEachSuffixOf(record, [this, &any](int number) {
      matched_[number] = true;
      any = true;
    });
    if (!any) return;
    const std::string path = UpperAscii(record);
    ListBox& list = window.FileList();
    ProgressBar& p2 = window.P2();
    for (size_t i = 0; i < entries_.size();) {
      if (!matched_[entries_[i].number]) {
        ++i;
        continue;
      }
      data.Set(kTrovaneDatabank, entries_[i].key, path);
      list.RemoveItem(static_cast<int>(i));
      entries_.erase(entries_.begin() + static_cast<ptrdiff_t>(i));
      p2.SetValue(p2.max() - static_cast<float>(list.ListCount()));
    }
    std::fill(matched_.begin(), matched_.end(), false);
  }

 private:
  struct Entry {
    std::string key;
    std::string value;
    int number = 0;  // of the value in the index
  };
  std::vector<Entry> entries_;
  std::unique_ptr<SuffixIndex> index_;
  std::vector<bool> matched_;
};

}  // namespace

std::string ScanLabel(std::string_view path) {
  const size_t last = path.rfind('\\');
  std::string folder(last == std::string_view::npos ? path
                                                    : path.substr(0, last));
  if (path.size() >= kLongPath) folder = folder.substr(0, kShownFolder) + "...";
  return folder;
}

void SearchPass::ScanDiskMap() {
  Window& window = window_;
  window.LogActivity("About to begin search");
  ProgressBar& p1 = window.P1();
  p1.SetMin(0);
  // The disk map lies in the temporary folder, which may be shared.
  const std::string disk_map =
      InFolder(window.temporary_folder(), kDiskMapName);
  std::unique_ptr<InputFile> map =
      files_.OpenForReading(disk_map, {.refuse_link = true});
  if (map) {
    if (const std::optional<int64_t> length = files_.Length(disk_map)) {
      p1.SetMax(static_cast<float>(*length));
    }
  }
  window.DoingWhat().SetCaption("Currently scanning:");

  WantedEntries wanted(window.FileList());
  double last_update = 0.0;
  uint64_t records = 0;
  // Each record is the path it names upper-cased; the matching ignores case
  // by itself, so the upper-cased text is made only where it is shown or
  // recorded.
  std::string_view record;
  std::string spill;
  for (;;) {
    // A read that fails leaves the record as it was: empty at the start.
    if (map) map->ReadField(&record, &spill);
    // The clock is read every few records: a label a few microseconds late
    // is not seen, a clock read per record is.
    if (records++ % kRecordsPerClockRead == 0) {
      const double now = clock_.MonotonicSeconds();
      if (std::fabs(now - last_update) > kLabelInterval) {
        last_update = now;
        window.Filename().SetCaption(ScanLabel(UpperAscii(record)));
        window.DoEvents();
      }
    }
    p1.SetValue(p1.value() + static_cast<float>(record.size()));
    if (window.FileList().ListCount() == 0) break;
    wanted.Match(record, window, data_);
    if (!map || map->AtEnd()) break;
  }
  p1.SetValue(p1.max());
  if (map) map->Close();
  window.LogActivity("Done");
  window.LogActivity("");
}

}  // namespace trovane
