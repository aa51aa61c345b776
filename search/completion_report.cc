#include "search/completion_report.h"

#include "search/search_pass.h"

namespace trovane {

void SearchPass::ReportCompletion(bool problems) {
  window_.LogActivity("");
  window_.LogActivity("Finnished");
  window_.LogActivity("");
  if (problems) window_.MessageBox(kProblemsTitle, kProblemsText);
  window_.DoingWhat().SetCaption("DONE!");
  window_.Filename().SetCaption("Exitting...");
  data_.Set(kTrovaneDatabank, "List of files that Must Exist",
            InFolder(window_.run_path(), kMustExistName));
  data_.Set(kTrovaneDatabank, "Trovane root content upkeep file",
            InFolder(window_.run_path(), kWantedListName));
  window_.Unload(problems ? RunOutcome::kProblems : RunOutcome::kClean);
}

}  // namespace trovane
