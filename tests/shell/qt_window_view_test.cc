// The drawn window: its size, its controls' places and kinds, and how the
// widgets follow the window's state.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <string>
#include <vector>

#include "tests/shell/qt_window_harness.h"

namespace trovane {
namespace {

using ::testing::ElementsAre;
using testing::QtWindowHarness;
using testing::Sandbox;

class QtWindowViewTest : public ::testing::Test {
 protected:
  template <typename Widget>
  Widget& Control(const char* name) {
    auto* widget = view_.findChild<Widget*>(name);
    if (widget == nullptr) {
      throw std::logic_error(std::string("no ") + name);
    }
    return *widget;
  }

  std::vector<std::string> ListedItems() {
    auto& list = Control<QListWidget>("FileList");
    std::vector<std::string> items;
    items.reserve(list.count());
    for (int row = 0; row < list.count(); ++row) {
      items.push_back(list.item(row)->text().toStdString());
    }
    return items;
  }

  Sandbox sandbox_;
  QtWindowHarness harness_{sandbox_};
  Window& window_ = harness_.window();
  QWidget& view_ = harness_.Show();
};

TEST_F(QtWindowViewTest, ClientAreaIsFixedAndCaptioned) {
  EXPECT_TRUE(view_.isVisible());
  EXPECT_EQ(view_.size(), QSize(374, 96));
  EXPECT_EQ(view_.minimumSize(), QSize(374, 96));
  EXPECT_EQ(view_.maximumSize(), QSize(374, 96));
  EXPECT_FALSE(view_.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
  EXPECT_TRUE(view_.windowFlags().testFlag(Qt::WindowCloseButtonHint));
  EXPECT_EQ(view_.windowTitle(), "Trovane Setup");
}

TEST_F(QtWindowViewTest, ControlsSitWhereTheTwipTablePutsThem) {
  // Twips divided by 15.
  EXPECT_EQ(Control<QLabel>("DoingWhat").geometry(), QRect(16, 8, 337, 17));
  EXPECT_EQ(Control<QLabel>("Filename").geometry(), QRect(24, 24, 329, 17));
  EXPECT_EQ(Control<QProgressBar>("P1").geometry(), QRect(16, 48, 345, 25));
  EXPECT_EQ(Control<QProgressBar>("P2").geometry(), QRect(16, 72, 345, 17));
  EXPECT_EQ(Control<QListWidget>("FileList").geometry(),
            QRect(16, 96, 345, 69));
  EXPECT_EQ(Control<QPushButton>("Start").geometry(), QRect(240, 120, 73, 30));
  // P1, made after P2, covers the pixel row the two share.
  EXPECT_EQ(view_.childAt(100, 72), &Control<QProgressBar>("P1"));
}

TEST_F(QtWindowViewTest, OnlyTheListAndTheButtonLieOutsideTheClientArea) {
  for (const char* name : {"DoingWhat", "Filename", "P1", "P2"}) {
    const QWidget& control = Control<QWidget>(name);
    EXPECT_TRUE(view_.rect().contains(control.geometry())) << name;
    EXPECT_TRUE(control.isVisible()) << name;
  }
  for (const char* name : {"FileList", "Start"}) {
    const QWidget& control = Control<QWidget>(name);
    EXPECT_GE(control.geometry().top(), view_.height()) << name;
    EXPECT_FALSE(control.isVisible()) << name;
  }
}

TEST_F(QtWindowViewTest, TabGoesInTheTablesOrder) {
  std::vector<std::string> order;
  for (QWidget* widget = &Control<QWidget>("P1"); widget != &view_;
       widget = widget->nextInFocusChain()) {
    // The list's own scroll bars and viewport come after it.
    if (widget->parentWidget() == &view_) {
      order.push_back(widget->objectName().toStdString());
    }
  }
  EXPECT_THAT(order, ElementsAre("P1", "DoingWhat", "Filename", "Start",
                                 "FileList", "P2"));
}

TEST_F(QtWindowViewTest, LabelsShowTheCaptionsAsPlainText) {
  EXPECT_EQ(Control<QLabel>("DoingWhat").text(), "Loading...");
  EXPECT_EQ(Control<QLabel>("Filename").text(), "");

  window_.DoingWhat().SetCaption("Currently scanning:");
  window_.Filename().SetCaption("C:\\<b>D\xC3\xBCRER</b>\\A&B");
  harness_.front_end().ProcessPendingEvents();

  EXPECT_EQ(Control<QLabel>("DoingWhat").text(), "Currently scanning:");
  EXPECT_EQ(Control<QLabel>("Filename").text(),
            QString::fromUtf8("C:\\<b>D\xC3\xBCRER</b>\\A&B"));
  EXPECT_EQ(Control<QLabel>("Filename").textFormat(), Qt::PlainText);
}

TEST_F(QtWindowViewTest, BarsShowTheFilledShareFarBeyond2To31) {
  auto share = [](const QProgressBar& bar) {
    return static_cast<double>(bar.value() - bar.minimum()) /
           (bar.maximum() - bar.minimum());
  };
  EXPECT_EQ(share(Control<QProgressBar>("P1")), 0.0);

  ASSERT_TRUE(window_.P1().SetMax(5e9F));
  ASSERT_TRUE(window_.P1().SetValue(2.5e9F));
  ASSERT_TRUE(window_.P2().SetMin(-50.0F));
  ASSERT_TRUE(window_.P2().SetValue(55.0F));
  harness_.front_end().ProcessPendingEvents();

  EXPECT_DOUBLE_EQ(share(Control<QProgressBar>("P1")), 0.5);
  EXPECT_DOUBLE_EQ(share(Control<QProgressBar>("P2")), 0.7);
}

TEST_F(QtWindowViewTest, ListAndButtonCatchUpWhileTheLoopRuns) {
  for (const char* item : {"A", "B", "C", "D"}) {
    window_.FileList().AddItem(item);
  }
  window_.Start().SetEnabled(false);
  EXPECT_TRUE(harness_.ProcessEventsUntil([&] {
    return ListedItems().size() == 4 &&
           !Control<QPushButton>("Start").isEnabled();
  }));
  EXPECT_THAT(ListedItems(), ElementsAre("A", "B", "C", "D"));

  ASSERT_TRUE(window_.FileList().RemoveItem(1));
  window_.FileList().AddItem("E");
  ASSERT_TRUE(window_.FileList().RemoveItem(0));
  window_.FileList().AddItem("C");
  window_.Start().SetEnabled(true);
  const std::vector<std::string> expected = {"C", "D", "E", "C"};
  EXPECT_TRUE(harness_.ProcessEventsUntil([&] {
    return ListedItems() == expected &&
           Control<QPushButton>("Start").isEnabled();
  }));
  EXPECT_EQ(ListedItems(), expected);
  EXPECT_EQ(Control<QPushButton>("Start").text(), "Start");
}

}  // namespace
}  // namespace trovane
