#include <QMessageBox>
#include <QString>
#include <QWidget>

#include "setup/qt_text.h"
#include "setup/setup_messages.h"

namespace emberlrn {
namespace {

void ShowBox(QWidget* owner, QMessageBox::Icon icon, std::string_view title,
             std::string_view text) {
  // A message asked for while the dialog is still being filled comes before
  // the dialog itself, so it stands alone in the middle of the screen.
  QWidget* parent = owner && owner->isVisible() ? owner : nullptr;
  QMessageBox box(icon, ToQString(title), ToQString(text), QMessageBox::Ok, parent);
  box.setDefaultButton(QMessageBox::Ok);
  box.exec();
}

}  // namespace

void MessageBoxes::Warning(std::string_view title, std::string_view text) {
  ShowBox(owner_, QMessageBox::Warning, title, text);
}

void MessageBoxes::Information(std::string_view title, std::string_view text) {
  ShowBox(owner_, QMessageBox::Information, title, text);
}

}  // namespace emberlrn
