#pragma once
// The dialog's drop-down lists. Their text field holds any text (the stored
// one, whether or not it is an entry), and a value reaches the store only
// when the user picks an entry: from the drop-down, or with the arrow keys
// on the closed list. Text typed into the field, or put there by the program,
// never counts as a pick, even when it matches an entry. The wheel over the
// closed list changes nothing: a wheel turned while the pointer happens to
// rest on a list would otherwise store every entry it passes, each with its
// advice.

#include <QComboBox>
#include <QWheelEvent>
#include <functional>
#include <string_view>

namespace emberlrn {

class PickList final : public QComboBox {
 public:
  explicit PickList(QWidget* parent = nullptr);

  // The handler runs with the picked entry's text.
  void OnPick(std::function<void(const QString& entry)> handler);

  // Puts text into the text field without running the handler; the
  // drop-down opens on the matching entry when there is one.
  void SetText(const QString& text);

  template <typename Entries>
  void AddEntries(const Entries& entries) {
    for (std::string_view entry : entries) {
      addItem(QString::fromUtf8(entry.data(), static_cast<qsizetype>(entry.size())));
    }
  }

 protected:
  // Leaves the wheel to the parent; the open drop-down scrolls by itself.
  void wheelEvent(QWheelEvent* event) override { event->ignore(); }

 private:
  std::function<void(const QString&)> handler_;
  bool typing_ = false;  // set while the text field finishes an edit
  friend class PickListEdit;
};

}  // namespace emberlrn
