#pragma once
// The modal messages the settings dialog shows, behind an interface so
// tests can see them without a desktop.

#include <string_view>

class QWidget;

namespace emberlrn {

class SetupMessages {
 public:
  virtual ~SetupMessages() = default;
  // An advice message with the exclamation icon and one OK button; returns
  // when the user has confirmed it.
  virtual void Warning(std::string_view title, std::string_view text) = 0;
  // A plain information message with one OK button.
  virtual void Information(std::string_view title, std::string_view text) = 0;
};

// The real messages: Qt message boxes over the owner window (or centred on
// the screen while the owner is not shown yet).
class MessageBoxes final : public SetupMessages {
 public:
  explicit MessageBoxes(QWidget* owner = nullptr) : owner_(owner) {}
  void SetOwner(QWidget* owner) { owner_ = owner; }
  void Warning(std::string_view title, std::string_view text) override;
  void Information(std::string_view title, std::string_view text) override;

 private:
  QWidget* owner_;
};

}  // namespace emberlrn
