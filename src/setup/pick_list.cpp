#include "setup/pick_list.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>

#include "setup/qt_child.h"

namespace emberlrn {
namespace {

// The longest list, the stop-sound times, has 20 entries.
constexpr int kAllEntriesVisible = 20;

}  // namespace

// The text field of a PickList. Qt's combo box takes a text that matches an
// entry as a pick when the field loses focus or the user presses Enter; the
// field marks those moments so the list can tell them from a real pick.
class PickListEdit final : public QLineEdit {
 public:
  explicit PickListEdit(PickList& list) : list_(list) {}

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    Marked mark(list_.typing_);
    QLineEdit::keyPressEvent(event);
  }
  void focusOutEvent(QFocusEvent* event) override {
    Marked mark(list_.typing_);
    QLineEdit::focusOutEvent(event);
  }

 private:
  struct Marked {
    explicit Marked(bool& flag) : flag_(flag), before_(flag) { flag_ = true; }
    ~Marked() { flag_ = before_; }
    bool& flag_;
    bool before_;
  };
  PickList& list_;
};

PickList::PickList(QWidget* parent) : QComboBox(parent) {
  setEditable(true);
  setLineEdit(Child<PickListEdit>(this, *this));
  setCompleter(nullptr);  // the field shows what was typed, nothing more
  setInsertPolicy(QComboBox::NoInsert);
  setSizeAdjustPolicy(QComboBox::AdjustToContents);
  setMaxVisibleItems(kAllEntriesVisible);  // the drop-down shows every entry at once
  connect(this, &QComboBox::activated, this, [this](int index) {
    if (typing_ || !handler_ || index < 0) return;
    handler_(itemText(index));
  });
}

void PickList::OnPick(std::function<void(const QString&)> handler) {
  handler_ = std::move(handler);
}

void PickList::SetText(const QString& text) {
  setCurrentIndex(findText(text, Qt::MatchFixedString | Qt::MatchCaseSensitive));
  setEditText(text);
}

}  // namespace emberlrn
