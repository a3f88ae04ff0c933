#pragma once
// What the settings dialog's tests share: a recording message fake, stores
// filled as the saver leaves them, and the user's gestures (a click on a
// check box's indicator, a pick from a drop-down, a drag of a bar's thumb).

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QMouseEvent>
#include <QRadioButton>
#include <QScrollBar>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionSlider>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "fakes/fake_system.h"
#include "fakes/memory_store.h"
#include "platform/data_folder.h"
#include "settings/first_run.h"
#include "setup/bar_value.h"
#include "setup/desktop_facts.h"
#include "setup/pick_list.h"
#include "setup/setup.h"
#include "setup/setup_messages.h"

namespace emberlrn::testing {

class FakeMessages final : public SetupMessages {
 public:
  struct Shown {
    std::string kind;  // "Warning" or "Information"
    std::string title;
    std::string text;
    size_t writesBefore;  // how many store writes came before it
  };

  explicit FakeMessages(const MemoryStore& store) : store_(store) {}

  void Warning(std::string_view title, std::string_view text) override {
    shown.push_back({"Warning", std::string(title), std::string(text), store_.writes.size()});
  }
  void Information(std::string_view title, std::string_view text) override {
    shown.push_back({"Information", std::string(title), std::string(text), store_.writes.size()});
  }

  QStringList Titles() const {
    QStringList titles;
    for (const Shown& s : shown) titles << QString::fromStdString(s.title);
    return titles;
  }

  std::vector<Shown> shown;

 private:
  const MemoryStore& store_;
};

// The desktop's answers, set by the test: no wait and no monitor times
// unless given, and every program installed unless nothing is.
class FakeDesktop final : public DesktopFacts {
 public:
  std::optional<ScreenSaverWait> ReadWait() override {
    ++waitReads;
    return wait;
  }
  std::optional<x11::MonitorPowerTimes> ReadMonitorPower() override { return monitorPower; }
  bool Installed(std::string_view) override { return !nothingInstalled; }

  // A wait read from the X server, or none.
  void SetWait(std::optional<int32_t> seconds) {
    wait =
        seconds ? std::optional<ScreenSaverWait>({*seconds, WaitSource::kXServer}) : std::nullopt;
  }

  std::optional<ScreenSaverWait> wait;
  std::optional<x11::MonitorPowerTimes> monitorPower;
  bool nothingInstalled = false;
  int waitReads = 0;
};

// Puts every first-run value in place, as the saver's first start leaves
// the store, without counting them as writes.
inline void FillAsSaverDid(MemoryStore& store) {
  for (const SettingDefault& setting : FirstRunValues()) {
    store.Preset(setting.section, setting.key, setting.value);
  }
}

// One dialog over a recording store, desktop and messages.
struct DialogRig {
  MemoryStore store;
  FakeSystem system;
  FakeDesktop desktop;
  DesktopFacts* facts = &desktop;  // the real desktop's, for tests that want it
  FakeMessages messages{store};
  std::unique_ptr<Setup> dialog;

  DialogRig() { FillAsSaverDid(store); }

  Setup& Open(const std::string& folder = InstallFolder()) {
    dialog = std::make_unique<Setup>(store, system, *facts, messages, folder);
    return *dialog;
  }
  // Opens and shows the dialog, for gestures that need a window on screen.
  Setup& Show() {
    Setup& shown = Open();
    shown.show();
    [[maybe_unused]] const bool exposed = QTest::qWaitForWindowExposed(&shown);
    return shown;
  }

  template <typename T>
  T* Find(const char* name) const {
    return dialog->findChild<T*>(QString::fromLatin1(name));
  }

  // The writes since the dialog was opened, as "section/key=value".
  QStringList Writes(size_t from = 0) const {
    QStringList lines;
    for (size_t i = from; i < store.writes.size(); ++i) {
      const auto& w = store.writes[i];
      lines << QString::fromStdString(w.section + "/" + w.key + "=" + w.value);
    }
    return lines;
  }
};

// A click where a user clicks a check box or option button: on its indicator.
inline void ClickIndicator(QAbstractButton* button) {
  QStyleOptionButton option;
  option.initFrom(button);
  const bool radio = qobject_cast<QRadioButton*>(button) != nullptr;
  const QRect indicator = button->style()->subElementRect(
      radio ? QStyle::SE_RadioButtonIndicator : QStyle::SE_CheckBoxIndicator, &option, button);
  QTest::mouseClick(button, Qt::LeftButton, Qt::KeyboardModifiers(), indicator.center());
}

// Opens the drop-down and clicks the entry, as a user picks one.
inline bool PickEntry(QComboBox* list, const QString& entry) {
  const int index = list->findText(entry, Qt::MatchFixedString | Qt::MatchCaseSensitive);
  if (index < 0) return false;
  list->showPopup();
  QAbstractItemView* view = list->view();
  if (!view->isVisible()) return false;
  const QModelIndex item = view->model()->index(index, list->modelColumn(), view->rootIndex());
  view->scrollTo(item);
  const QPoint at = view->visualRect(item).center();
  QTest::mouseMove(view->viewport(), at);
  QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::KeyboardModifiers(), at);
  QApplication::processEvents();
  return !view->isVisible();
}

inline QRect BarPart(QScrollBar* bar, QStyle::SubControl part) {
  QStyleOptionSlider option;
  option.initFrom(bar);
  option.orientation = bar->orientation();
  option.minimum = bar->minimum();
  option.maximum = bar->maximum();
  option.sliderPosition = bar->sliderPosition();
  option.sliderValue = bar->value();
  option.singleStep = bar->singleStep();
  option.pageStep = bar->pageStep();
  option.upsideDown = bar->invertedAppearance();
  option.subControls = QStyle::SC_All;
  return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, part, bar);
}

inline void SendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button,
                      Qt::MouseButtons held) {
  QMouseEvent event(type, QPointF(at), QPointF(widget->mapToGlobal(at)), button, held,
                    Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}

// Drags the thumb of a horizontal bar to the right end in steps, calling
// afterStep after each movement.
template <typename Step>
void DragThumbToRightEnd(QScrollBar* bar, int steps, Step afterStep) {
  const QRect thumb = BarPart(bar, QStyle::SC_ScrollBarSlider);
  const QRect groove = BarPart(bar, QStyle::SC_ScrollBarGroove);
  const QPoint start = thumb.center();
  const QPoint end(groove.right() + thumb.width(), start.y());
  SendMouse(bar, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
  for (int i = 1; i <= steps; ++i) {
    const QPoint at(start.x() + (end.x() - start.x()) * i / steps, start.y());
    SendMouse(bar, QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton);
    afterStep();
  }
  SendMouse(bar, QEvent::MouseButtonRelease, end, Qt::LeftButton, Qt::NoButton);
}

// A click on one of a bar's arrows.
inline void ClickArrow(QScrollBar* bar, QStyle::SubControl arrow) {
  const QRect part = BarPart(bar, arrow);
  SendMouse(bar, QEvent::MouseButtonPress, part.center(), Qt::LeftButton, Qt::LeftButton);
  SendMouse(bar, QEvent::MouseButtonRelease, part.center(), Qt::LeftButton, Qt::NoButton);
}

}  // namespace emberlrn::testing
