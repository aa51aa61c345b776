#include <QFile>
#include <QFileDialog>
#include <QString>

#include "shell/qt_text.h"
#include "shell/window_front_end.h"

namespace trovane {

std::optional<std::string> AskForRunFolder(const std::string& start) {
  const QString chosen = QFileDialog::getExistingDirectory(
      nullptr, ToQString(kRunFolderQuestion), QFile::decodeName(start.c_str()));
  if (chosen.isEmpty()) return std::nullopt;
  // The name's bytes as the file system holds them.
  return QFile::encodeName(chosen).toStdString();
}

}  // namespace trovane
