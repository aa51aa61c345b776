// The batch wait: Wait's tick polls the completion signal that the scan
// batch writes as its last act.
#include <string>

#include "platform/text.h"
#include "shell/window.h"

namespace trovane {

void Window::Wait_Timer() {
  // The signal file lies in the temporary folder, which may be shared: it
  // is never opened through a symbolic link. Opening creates it empty when
  // it is missing; the batch deletes and rewrites it all the same.
  char signal[2] = {'\0', '\0'};
  std::unique_ptr<InputFile> file = services_.files.OpenForReading(
      InFolder(temporary_folder(), kSignalFileName),
      {.refuse_link = true, .create = true});
  if (file) {
    file->ReadBytes(signal, sizeof signal);
    file->Close();
  }
  const std::string_view text(signal, sizeof signal);
  const bool over =
      UpperAscii(TrimBlanks(text)) == "OK" || FileList().ListCount() == 0;
  Start().SetEnabled(over);
  Wait().SetEnabled(!Start().enabled());
  if (Start().enabled()) Start_Click();
}

}  // namespace trovane
