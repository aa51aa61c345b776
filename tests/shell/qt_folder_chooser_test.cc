// The folder chooser the window asks for the run folder with, answered
// from a timer inside its own loop as a user would answer it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QTimer>
#include <optional>
#include <string>

#include "shell/window_front_end.h"
#include "tests/shell/qt_window_harness.h"

namespace trovane {
namespace {

using testing::QtWindowHarness;
using testing::Sandbox;

TEST(QtFolderChooserTest, GivesTheFolderPickedAndNothingWhenCancelled) {
  Sandbox sandbox;
  // The harness makes the application, as the program's front end does.
  QtWindowHarness harness(sandbox);
  sandbox.MakeFolder("Picked");
  const std::string picked = sandbox.Path("Picked");

  for (const std::optional<std::string>& answer :
       {std::optional<std::string>(picked), std::optional<std::string>()}) {
    SCOPED_TRACE(answer.value_or("cancel"));
    bool shown_at_start = false;
    QTimer answerer;
    answerer.setInterval(10);
    QObject::connect(&answerer, &QTimer::timeout, [&] {
      auto* dialog =
          qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr) return;
      answerer.stop();
      shown_at_start =
          dialog->fileMode() == QFileDialog::Directory &&
          dialog->windowTitle() ==
              "Choose the run folder: the folder that holds FileList.txt" &&
          QFile::encodeName(dialog->directory().absolutePath()).toStdString() ==
              sandbox.root();
      if (!answer) {
        dialog->reject();
        return;
      }
      dialog->setDirectory(QFile::decodeName(answer->c_str()));
      // The dialog's own accept, as its Choose button calls it.
      static_cast<QDialog*>(dialog)->accept();
    });
    answerer.start();

    EXPECT_EQ(AskForRunFolder(sandbox.root()), answer);
    EXPECT_TRUE(shown_at_start);
  }
}

}  // namespace
}  // namespace trovane
