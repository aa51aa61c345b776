#include "search/disk_map_scan.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/text.h"
#include "search/suffix_index.h"
#include "shell/taken_places.h"

namespace trovane {
namespace {

constexpr double kLabelInterval = 0.25;  // seconds between label updates
constexpr size_t kLongPath = 34;
constexpr size_t kShownFolder = 30;
constexpr uint64_t kRecordsPerClockRead = 32;

// The wanted entries in FileList, by key and upper-cased value, kept in
// step with the list box, with an index over the values: recording an
// entry costs the same however many are wanted.
class WantedEntries {
 public:
  explicit WantedEntries(const ListBox& list) : taken_(list.items().size()) {
    std::unordered_map<std::string, int> numbers;
    std::vector<std::string> values;
    for (const std::string& item : list.items()) {
      const size_t equals = item.find('=');
      std::string value;
      if (equals == std::string::npos) {
        keys_.emplace_back();
        value = UpperAscii(TrimBlanks(item));
      } else {
        keys_.emplace_back(
            TrimBlanks(std::string_view{item}.substr(0, equals)));
        value =
            UpperAscii(TrimBlanks(std::string_view{item}.substr(equals + 1)));
      }
      const auto [it, added] =
          numbers.emplace(value, static_cast<int>(values.size()));
      if (added) {
        values.push_back(value);
        places_of_value_.emplace_back();
      }
      places_of_value_[it->second].push_back(keys_.size() - 1);
    }
    index_ = std::make_unique<SuffixIndex>(values);
  }

  // Records every entry whose value the record ends with, in list order,
  // under the record upper-cased, and takes it off the list.
  void Match(std::string_view record, Window& window, Data& data) {
    // The places of the entries that match, all of them still in the list:
    // every entry of a value goes at the first path that ends with it.
    std::vector<size_t> places;
    index_->ForEachSuffixOf(record, [this, &places](int number) {
      std::vector<size_t>& of_value = places_of_value_[number];
      places.insert(places.end(), of_value.begin(), of_value.end());
      of_value.clear();
    });
    if (places.empty()) return;
    std::sort(places.begin(), places.end());
    const std::string path = UpperAscii(record);
    ListBox& list = window.FileList();
    ProgressBar& p2 = window.P2();
    for (const size_t place : places) {
      const bool written = data.Set(kTrovaneDatabank, keys_[place], path);
      // An entry without a key has nothing to record.
      if (!keys_[place].empty()) {
        window.report().Found(keys_[place], path, written);
      }
      list.RemoveItem(static_cast<int>(taken_.Before(place)));
      taken_.Free(place);
      p2.SetValue(p2.max() - static_cast<float>(list.ListCount()));
    }
  }

 private:
  std::vector<std::string> keys_;  // by the entry's first place in the list
  std::vector<std::vector<size_t>> places_of_value_;  // by value number
  TakenPlaces taken_;
  std::unique_ptr<SuffixIndex> index_;
};

}  // namespace

std::string ScanLabel(std::string_view path) {
  const size_t last = path.rfind('\\');
  std::string folder(last == std::string_view::npos ? path
                                                    : path.substr(0, last));
  if (path.size() >= kLongPath) folder = folder.substr(0, kShownFolder) + "...";
  return folder;
}

void ScanDiskMap(Window& window) {
  FileSystem& files = window.services().files;
  Data& data = window.services().data;
  Clock& clock = window.services().clock;
  window.LogActivity("About to begin search");
  ProgressBar& p1 = window.P1();
  p1.SetMin(0);
  // The disk map lies in the temporary folder, which may be shared.
  const std::string disk_map =
      InFolder(window.temporary_folder(), kDiskMapName);
  // The listing just read the folders that the entries recorded now, and
  // checked next, lie in.
  files.LearnFolderNamesFrom(disk_map);
  std::unique_ptr<InputFile> map =
      files.OpenForReading(disk_map, {.refuse_link = true});
  if (map) {
    map->LimitLines(kLongestLine);
    if (const std::optional<int64_t> length = files.Length(disk_map)) {
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
  int overlong = 0;
  for (;;) {
    // A read that fails leaves the record as it was: empty at the start.
    if (map) map->ReadField(&record, &spill);
    // A path too long to be read names nothing that could be recorded.
    const bool passed_over = map && map->overlong();
    overlong += passed_over ? 1 : 0;
    // The clock is read every few records: a label a few microseconds late
    // is not seen, a clock read per record is.
    if (records++ % kRecordsPerClockRead == 0) {
      const double now = clock.MonotonicSeconds();
      if (std::fabs(now - last_update) > kLabelInterval) {
        last_update = now;
        window.Filename().SetCaption(ScanLabel(UpperAscii(record)));
        window.DoEvents();
      }
    }
    p1.SetValue(p1.value() + static_cast<float>(record.size()));
    if (window.FileList().ListCount() == 0) break;
    if (!passed_over) wanted.Match(record, window, data);
    if (!map || map->AtEnd()) break;
  }
  p1.SetValue(p1.max());
  if (map) map->Close();
  window.report().LinesPassedOver(disk_map, overlong);
  window.LogActivity("Done");
  window.LogActivity("");
}

}  // namespace trovane
