#include "app/QtPrompts.h"

#include <QMessageBox>

namespace kx {
namespace {

// Messages carry the program's own texts with file names and what the user typed, which are in
// the locale's encoding; the meter's code page 936 texts never appear in them.
QString toQt(const std::string& bytes) {
  return QString::fromLocal8Bit(bytes);
}

int show(QWidget* owner, QMessageBox::Icon icon, const std::string& caption,
         const std::string& text, QMessageBox::StandardButtons buttons) {
  QMessageBox box(icon, toQt(caption), toQt(text), buttons, owner);
  return box.exec();
}

}  // namespace

bool QtPrompts::confirm(const std::string& caption, const std::string& text) {
  return show(owner_, QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No) ==
         QMessageBox::Yes;
}

void QtPrompts::information(const std::string& caption, const std::string& text) {
  show(owner_, QMessageBox::Information, caption, text, QMessageBox::Ok);
}

void QtPrompts::notice(const std::string& text) {
  show(owner_, QMessageBox::NoIcon, kAppTitle, text, QMessageBox::Ok);
}

void QtPrompts::error(const std::string& text) {
  show(owner_, QMessageBox::Critical, kAppTitle, text, QMessageBox::Ok);
}

void QtPrompts::failure(const std::string& caption, const std::string& text) {
  show(owner_, QMessageBox::Critical, caption, text, QMessageBox::Ok);
}

}  // namespace kx
