#include "search/completion_report.h"

#include <string>

#include "search/double_check.h"

namespace trovane {

void ReportCompletion(Window& window, Data& data, bool problems) {
  window.LogActivity("");
  window.LogActivity("Finnished");
  window.LogActivity("");
  if (problems) window.MessageBox(kProblemsTitle, kProblemsText);
  window.DoingWhat().SetCaption("DONE!");
  window.Filename().SetCaption("Exitting...");
  data.Set(kTrovaneDatabank, "List of files that Must Exist",
           window.run_path() + std::string(kMustExistName));
  data.Set(kTrovaneDatabank, "Trovane root content upkeep file",
           window.run_path() + std::string(kWantedListName));
  window.Unload(problems ? RunOutcome::kProblems : RunOutcome::kClean);
}

}  // namespace trovane
