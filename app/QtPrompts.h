#pragma once
// Prompts shown as modal message boxes, owned by the main window.

#include <QWidget>

#include "app/core/Prompts.h"

namespace kx {

class QtPrompts : public Prompts {
 public:
  explicit QtPrompts(QWidget* owner) : owner_(owner) {}
  bool confirm(const std::string& caption, const std::string& text) override;
  void information(const std::string& caption, const std::string& text) override;
  void notice(const std::string& text) override;
  void error(const std::string& text) override;
  void failure(const std::string& caption, const std::string& text) override;

 private:
  QWidget* owner_;
};

}  // namespace kx
