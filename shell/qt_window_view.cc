#include "shell/qt_window_view.h"

#include <QCloseEvent>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QStringList>
#include <stdexcept>
#include <string_view>

#include "shell/drawn_state.h"
#include "shell/qt_text.h"
#include "shell/window.h"
#include "shell/window_layout.h"

namespace trovane {
namespace {

// QProgressBar counts in int while the window's bars reach far beyond 2^31,
// so the widgets show the filled share in this many steps instead.
constexpr int kBarSteps = 10000;

// The placement of a named control; a name the table lacks does not
// compile.
consteval const ControlPlacement& PlacementOf(std::string_view name) {
  for (const ControlPlacement& placement : kControls) {
    if (placement.name == name) {
      return placement;
    }
  }
  throw std::logic_error("no such control");
}

template <typename Widget>
Widget* Place(QWidget* parent, const ControlPlacement& placement) {
  auto* widget = new Widget(parent);
  widget->setObjectName(ToQString(placement.name));
  widget->setGeometry(ToPixels(placement.left), ToPixels(placement.top),
                      ToPixels(placement.width), ToPixels(placement.height));
  return widget;
}

QLabel* MakeLabel(QWidget* parent, const ControlPlacement& placement) {
  auto* label = Place<QLabel>(parent, placement);
  // Captions are names and paths: a "<b>" in one is shown as it is.
  label->setTextFormat(Qt::PlainText);
  return label;
}

QProgressBar* MakeBar(QWidget* parent, const ControlPlacement& placement) {
  auto* bar = Place<QProgressBar>(parent, placement);
  bar->setRange(0, kBarSteps);
  // No percentage: the passes set the bars to show movement, and a 17-pixel
  // bar has no room for a number.
  bar->setTextVisible(false);
  return bar;
}

}  // namespace

QtWindowView::QtWindowView(Window& window) : window_(window) {
  setObjectName(QStringLiteral("Window"));
  setWindowTitle(ToQString(kWindowCaption));
  // No maximise button and a fixed size: a bigger client area would reveal
  // FileList and Start.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(ToPixels(kClientWidthTwips), ToPixels(kClientHeightTwips));

  // Made in tab order: Qt's focus chain, which Tab follows, is the order in
  // which children are made, and nothing else can order widgets that take
  // no focus, as labels and bars do not.
  p1_ = MakeBar(this, PlacementOf("P1"));
  doing_what_ = MakeLabel(this, PlacementOf("DoingWhat"));
  filename_ = MakeLabel(this, PlacementOf("Filename"));
  start_ = Place<QPushButton>(this, PlacementOf("Start"));
  file_list_ = Place<QListWidget>(this, PlacementOf("FileList"));
  p2_ = MakeBar(this, PlacementOf("P2"));
  // Stacked in the window's creation order, later above earlier: P1 covers
  // the top pixel row of P2.
  for (const ControlPlacement& placement : kControls) {
    if (auto* control = findChild<QWidget*>(ToQString(placement.name),
                                            Qt::FindDirectChildrenOnly)) {
      control->raise();
    }
  }

  start_->setText(ToQString(window_.Start().caption()));
  // Below the client area already; hidden too, they stay out of sight and
  // out of the keyboard's reach should a window manager stretch the window
  // all the same.
  file_list_->hide();
  start_->hide();
  Refresh();
}

void QtWindowView::Redraw() {
  if (window_.revision() != drawn_revision_) {
    Draw();
  }
}

void QtWindowView::Refresh() {
  Redraw();
  ShowProgress();
  start_->setEnabled(window_.Start().enabled());
  SyncFileList();
}

void QtWindowView::ShowStatus(std::string_view text) {
  Redraw();
  doing_what_->setText(ToQString(text));
}

void QtWindowView::closeEvent(QCloseEvent* /*event*/) {
  // The unload is never cancelled, and it ends the process.
  window_.Unload(RunOutcome::kInterrupted);
}

void QtWindowView::ShowProgress() {
  const std::optional<ScanProgress> progress = window_.Progress();
  if (!progress || !window_.Filename().caption().empty()) return;
  const QString text = ToQString(ProgressText(*progress));
  if (filename_->text() != text) filename_->setText(text);
}

void QtWindowView::Draw() {
  drawn_revision_ = window_.revision();
  doing_what_->setText(ToQString(window_.DoingWhat().caption()));
  filename_->setText(ToQString(window_.Filename().caption()));
  p1_->setValue(FilledSteps(window_.P1(), kBarSteps));
  p2_->setValue(FilledSteps(window_.P2(), kBarSteps));
}

void QtWindowView::SyncFileList() {
  const std::vector<std::string>& items = window_.FileList().items();
  if (items == listed_items_) {
    return;
  }
  const ListStretch stretch = ChangedStretch(listed_items_, items);
  for (size_t row = listed_items_.size() - stretch.tail;
       row-- > stretch.head;) {
    delete file_list_->takeItem(static_cast<int>(row));
  }
  QStringList added;
  for (size_t i = stretch.head; i < items.size() - stretch.tail; ++i) {
    added.append(ToQString(items[i]));
  }
  file_list_->insertItems(static_cast<int>(stretch.head), added);
  listed_items_ = items;
}

}  // namespace trovane
