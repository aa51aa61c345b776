// The main window drawn with Qt widgets: a fixed 374 by 96 pixel client
// area with one child widget per control of the twip table, each named
// after its control. The view only mirrors the window's state; closing it is
// the user closing the window, which unloads it.
#ifndef TROVANE_SHELL_QT_WINDOW_VIEW_H_
#define TROVANE_SHELL_QT_WINDOW_VIEW_H_

#include <QWidget>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QCloseEvent;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace trovane {

class Window;

class QtWindowView : public QWidget {
 public:
  explicit QtWindowView(Window& window);

  // Redraws the labels and the progress bars when the window's revision
  // has moved since the last time.
  void Redraw();

  // Redraws, and brings FileList and Start up to date too. Those two are
  // never seen and change no revision, so they are compared outright; that
  // is worth doing now and then, not on every yield of a pass.
  void Refresh();

  // Shows `text` in the status line in place of DoingWhat's caption, once
  // the window has unloaded and its state no longer changes.
  void ShowStatus(std::string_view text);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void Draw();
  // While the scan batch lists the disk and no file name is shown, the
  // file-name label tells how far it has got.
  void ShowProgress();
  void SyncFileList();

  Window& window_;
  QProgressBar* p2_;
  QListWidget* file_list_;
  QPushButton* start_;
  QProgressBar* p1_;
  QLabel* filename_;
  QLabel* doing_what_;
  std::optional<uint64_t> drawn_revision_;  // none before the first draw
  std::vector<std::string> listed_items_;
};

}  // namespace trovane

#endif  // TROVANE_SHELL_QT_WINDOW_VIEW_H_
