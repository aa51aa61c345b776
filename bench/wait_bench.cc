// Waiting for the scan batch: what trovane-setup costs while the batch
// runs, and how soon the search pass begins once the batch signals. A
// stand-in interpreter beside the program sleeps instead of listing, so
// the wait lasts as long as the benchmark likes; the benchmark writes the
// disk map beforehand and the completion signal itself, and ends the
// stand-in as soon as the signal is in place, as a batch ends once it has
// written its signal (the run counts a signal only from a batch that has
// ended).
//
// Usage: wait_bench [WORK_FOLDER]
//
// Per run: the program's CPU time over a window of the wait, as a share of
// one core (goal: under 0.5 %), with its wake-ups a second; then the time
// from the signal's rename into place to "About to begin search" appearing
// in the activity log, by the benchmark's clock through inotify (goal:
// within 10 ms). Prints each run, the median share and the worst latency.
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "bench/bench_support.h"

namespace trovane::bench {
namespace {

namespace fs = std::filesystem;

constexpr int kRuns = 3;
constexpr int kFiles = 3;
constexpr auto kSettle = std::chrono::milliseconds(500);
constexpr auto kWindow = std::chrono::seconds(3);
constexpr auto kLimit = std::chrono::seconds(30);
constexpr double kCpuGoalPercent = 0.5;
constexpr double kLatencyGoalMs = 10.0;

constexpr const char* kBatchStart = "Executing batch";
constexpr const char* kSearchStart = "About to begin search";

// Ends the stand-in batch the run started, once it is sure to be ours.
void EndStandIn(const fs::path& pid_file) {
  std::ifstream in(pid_file);
  pid_t pid = 0;
  if (!(in >> pid) || pid <= 0) return;
  std::ifstream command("/proc/" + std::to_string(pid) + "/cmdline");
  std::string name;
  std::getline(command, name, '\0');
  if (name == "/bin/sleep") kill(pid, SIGTERM);
  fs::remove(pid_file);
}

struct WaitResult {
  double cpu_percent = 0;
  double wakeups_a_second = 0;
  double latency_ms = 0;
};

std::optional<WaitResult> RunOnce(const Sandbox& sandbox,
                                  const std::string& wanted,
                                  const fs::path& pid_file) {
  sandbox.WriteRunInput(wanted, "");
  fs::remove(sandbox.databank());  // a first run: every entry is searched
  fs::remove(sandbox.temp() / "Signal.txt");
  LogWatcher watcher(sandbox.activity_log(), {kBatchStart, kSearchStart},
                     std::chrono::microseconds(0));
  Child setup = Child::StartSetup(sandbox);
  std::optional<WaitResult> result;
  if (!watcher.WaitFor(kBatchStart, setup, setup.started() + kLimit)) {
    std::printf("  the run did not start its batch\n");
  } else {
    std::this_thread::sleep_for(kSettle);
    const std::optional<CpuSample> first = SampleCpu(setup.pid());
    std::this_thread::sleep_for(kWindow);
    const std::optional<CpuSample> last = SampleCpu(setup.pid());

    const fs::path staged = sandbox.temp() / "Signal.new";
    WriteFile(staged, "OK! \r\n");
    const SteadyClock::time_point signalled = SteadyClock::now();
    fs::rename(staged, sandbox.temp() / "Signal.txt");
    EndStandIn(pid_file);
    const std::optional<SteadyClock::time_point> searching =
        watcher.WaitFor(kSearchStart, setup, signalled + kLimit);
    const Ending ending = setup.Wait(SteadyClock::now() + kLimit);
    if (!first || !last) {
      std::printf("  the run ended while it waited for the batch\n");
    } else if (!searching) {
      std::printf("  the search pass did not begin after the signal\n");
    } else if (!ending.Succeeded()) {
      std::printf("  the run ended with %s (see %s)\n",
                  ending.Describe().c_str(), sandbox.output().c_str());
    } else {
      const double window = SecondsBetween(first->at, last->at);
      result = WaitResult{
          100 * (last->cpu_seconds - first->cpu_seconds) / window,
          static_cast<double>(last->switches - first->switches) / window,
          SecondsBetween(signalled, *searching) * 1e3};
    }
  }
  setup.Stop();
  EndStandIn(pid_file);
  return result;
}

int Main(int argc, char** argv) {
  const fs::path base = argc > 1 ? argv[1] : TROVANE_BENCH_FOLDER;
  const fs::path drive = base / "drive";
  const fs::path pid_file = base / "stand-in.pid";
  fs::create_directories(drive / "Data");
  const Sandbox sandbox(drive, TROVANE_SETUP_PATH, "");
  // The stand-in interpreter: notes its process id and sleeps, long enough
  // for any wait here and no longer, should the benchmark die first.
  const fs::path stand_in = sandbox.run() / "trovane-cmd";
  WriteFile(stand_in, "#!/bin/sh\necho $$ > '" + pid_file.string() +
                          "'\nexec /bin/sleep 300\n");
  fs::permissions(stand_in, fs::perms::owner_all | fs::perms::group_read |
                                fs::perms::group_exec | fs::perms::others_read |
                                fs::perms::others_exec);
  std::string wanted;
  std::string disk_map;
  for (int i = 0; i < kFiles; ++i) {
    const std::string name = "Sample_" + std::to_string(i) + ".dat";
    WriteFile(drive / "Data" / name, "");
    wanted += "Sample" + std::to_string(i) + "=" + name + "\r\n";
    disk_map += "C:\\Data\\" + name + "\r\n";
  }
  WriteFile(sandbox.temp() / "Trovane.txt", disk_map);

  std::printf(
      "waiting for the scan batch (a stand-in batch; the benchmark writes the "
      "signal after %.1f s of waiting)\n",
      std::chrono::duration<double>(kSettle + kWindow).count());
  std::vector<double> shares;
  double worst_latency_ms = 0;
  std::vector<double> latencies;
  for (int i = 0; i < kRuns; ++i) {
    const std::optional<WaitResult> result = RunOnce(sandbox, wanted, pid_file);
    if (!result) return 1;
    std::printf(
        "  run %d: CPU while waiting %.2f %% of a core (%.0f wake-ups a "
        "second); search began %.2f ms after the signal\n",
        i + 1, result->cpu_percent, result->wakeups_a_second,
        result->latency_ms);
    shares.push_back(result->cpu_percent);
    latencies.push_back(result->latency_ms);
    worst_latency_ms = std::max(worst_latency_ms, result->latency_ms);
  }
  const double share = Median(shares);
  std::printf("  signal to search, median of %d: %.2f ms\n", kRuns,
              Median(latencies));
  PrintGoal("waiting for the batch: CPU", Formatted("%.2f %% of a core", share),
            Formatted("under %.1f %%", kCpuGoalPercent),
            Verdict(share < kCpuGoalPercent));
  PrintGoal("signal to search, the worst run",
            Formatted("%.2f ms", worst_latency_ms),
            Formatted("within %.0f ms", kLatencyGoalMs),
            Verdict(worst_latency_ms <= kLatencyGoalMs));
  std::printf("  load average at the end: %s\n", LoadAverage().c_str());
  return 0;
}

}  // namespace
}  // namespace trovane::bench

int main(int argc, char** argv) { return trovane::bench::Main(argc, argv); }
