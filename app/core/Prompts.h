#pragma once
// The modal questions and notices that operations put to the user. The window shows them as
// message boxes; tests and the command line answer them without a screen. Texts are in the
// locale's encoding: they hold the program's own words, file names and what the user typed.

#include <string>

namespace kx {

class Prompts {
 public:
  virtual ~Prompts() = default;
  // Question box with Yes and No; true only for Yes.
  virtual bool confirm(const std::string& caption, const std::string& text) = 0;
  // Information box with a single OK button.
  virtual void information(const std::string& caption, const std::string& text) = 0;
  // Plain notice (no icon, one OK button) with the application's title as caption.
  virtual void notice(const std::string& text) = 0;
  // The general error report: the error's text, stop icon, OK, application title as caption.
  virtual void error(const std::string& text) = 0;
  // An error box of an operation's own: its caption, the error icon, OK.
  virtual void failure(const std::string& caption, const std::string& text) {
    error(caption + ": " + text);
  }
};

// The application's title: a single blank. It is the caption of every message box that
// does not name its own.
inline constexpr char kAppTitle[] = " ";

}  // namespace kx
