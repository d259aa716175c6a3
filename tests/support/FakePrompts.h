#pragma once
// Prompts answered by a test: questions get the queued answers, everything shown is kept.

#include <deque>
#include <string>
#include <vector>

#include "app/core/Prompts.h"

namespace kx::test {

class FakePrompts : public Prompts {
 public:
  struct Shown {
    std::string kind;  // "confirm", "information", "notice", "error", "failure"
    std::string caption;
    std::string text;
  };
  std::vector<Shown> shown;
  std::deque<bool> answers;  // for confirm; No when empty

  bool confirm(const std::string& caption, const std::string& text) override {
    shown.push_back({"confirm", caption, text});
    if (answers.empty()) return false;
    const bool a = answers.front();
    answers.pop_front();
    return a;
  }
  void information(const std::string& caption, const std::string& text) override {
    shown.push_back({"information", caption, text});
  }
  void notice(const std::string& text) override { shown.push_back({"notice", kAppTitle, text}); }
  void error(const std::string& text) override { shown.push_back({"error", kAppTitle, text}); }
  void failure(const std::string& caption, const std::string& text) override {
    shown.push_back({"failure", caption, text});
  }
};

}  // namespace kx::test
