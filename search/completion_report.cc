#include "search/completion_report.h"

#include <utility>

namespace trovane {

void ReportCompletion(Window& window, bool problems) {
  Data& data = window.services().data;
  RunReport& report = window.report();
  window.LogActivity("");
  // Spelt as the activity log has always spelt it.
  window.LogActivity("Finnished");
  window.LogActivity("");
  if (problems) {
    window.MessageBox(
        kProblemsTitle,
        report.EveryRemovalDone() ? kProblemsText : kProblemsUnremovedText,
        report.CheckLines());
  }
  window.DoingWhat().SetCaption("DONE!");
  window.Filename().SetCaption("Exitting...");  // the window's own spelling
  const std::pair<std::string_view, std::string_view> bookkeeping[] = {
      {kMustExistListKey, kMustExistName}, {kUpkeepFileKey, kWantedListName}};
  for (const auto& [key, name] : bookkeeping) {
    const std::string file = InFolder(window.run_path(), name);
    if (!data.Set(kTrovaneDatabank, key, file)) {
      report.NotWritten(kTrovaneDatabank, std::string(key) + "=" + file);
    }
  }
  window.Unload(problems || report.AnythingNotWritten() ? RunOutcome::kProblems
                                                        : RunOutcome::kClean);
}

}  // namespace trovane
