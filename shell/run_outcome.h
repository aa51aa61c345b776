// How a run ends, and the process's exit status.
#ifndef TROVANE_SHELL_RUN_OUTCOME_H_
#define TROVANE_SHELL_RUN_OUTCOME_H_

namespace trovane {

enum class RunOutcome {
  kClean = 0,        // ended without problems
  kProblems = 1,     // ended after the problems message, or with
                     // something it meant to write not written
  kInterrupted = 2,  // ended before completion: closed, signalled, or a
                     // scan batch that could not list the disk
};

}  // namespace trovane

#endif  // TROVANE_SHELL_RUN_OUTCOME_H_
