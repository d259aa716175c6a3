#pragma once
#include <exception>
#include <new>

namespace kx {

template <typename F>
bool runCommand(Prompts& prompts, F&& command) {
  try {
    command();
    return true;
  } catch (const std::bad_alloc&) {
    prompts.error("Out of memory");
  } catch (const std::exception& e) {
    prompts.error(e.what());
  } catch (...) {
    prompts.error("Unknown error");
  }
  return false;
}

}  // namespace kx
