#include "search/completion_report.h"

namespace trovane {

void ReportCompletion(Window& window, bool problems) {
  Data& data = window.services().data;
  window.LogActivity("");
  // Spelt as the activity log has always spelt it.
  window.LogActivity("Finnished");
  window.LogActivity("");
  if (problems) window.MessageBox(kProblemsTitle, kProblemsText);
  window.DoingWhat().SetCaption("DONE!");
  window.Filename().SetCaption("Exitting...");  // the window's own spelling
  data.Set(kTrovaneDatabank, "List of files that Must Exist",
           InFolder(window.run_path(), kMustExistName));
  data.Set(kTrovaneDatabank, "Trovane root content upkeep file",
           InFolder(window.run_path(), kWantedListName));
  window.Unload(problems ? RunOutcome::kProblems : RunOutcome::kClean);
}

}  // namespace trovane
