// kx3816-cli devices: the HID devices as the window lists them (display name, vendor:product ID,
// path, read/write access), the one the window would select marked with "*". `--demo` adds the
// simulated bridge after the real devices.

#include <QCoreApplication>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "link/HidapiBackend.h"
#include "link/LinkController.h"
#include "link/SimBridge.h"

namespace kx::cli {

int cmdDevices(const Args& args) {
  bool demo = false;
  for (const auto& a : args) {
    if (a == "--demo") {
      demo = true;
    } else {
      std::fprintf(stderr, "usage: kx3816-cli devices [--demo]\n");
      return 2;
    }
  }
  int argc = 1;
  char name[] = "kx3816-cli";
  char* argv[] = {name, nullptr};
  QCoreApplication app(argc, argv);

  struct Row {
    std::string text, ids, path;
    bool access;
  };
  std::vector<Row> rows;
  auto list = [&rows](link::HidController& hid) {
    hid.enumerate([&rows](link::HidDevice& d, int) {
      char ids[16];
      std::snprintf(ids, sizeof ids, "%04x:%04x", d.vendorId(), d.productId());
      rows.push_back(
          {link::LinkController::DeviceDisplayName(d), ids, d.path(), d.hasReadWriteAccess()});
      return true;
    });
  };
  link::HidapiController real;
  list(real);
  std::unique_ptr<link::SimBridge> sim;
  if (demo) {
    sim = std::make_unique<link::SimBridge>(link::makeDemoScenario());
    list(*sim);
  }
  // The window's choice: the last entry named exactly "USB to Serial".
  int selected = -1;
  for (int i = 0; i < static_cast<int>(rows.size()); ++i)
    if (rows[i].text == link::kBridgeName) selected = i;
  if (rows.empty()) std::printf("no HID devices\n");
  for (int i = 0; i < static_cast<int>(rows.size()); ++i)
    std::printf("%s %s\t%s\t%s\t%s\n", i == selected ? "*" : " ", rows[i].text.c_str(),
                rows[i].ids.c_str(), rows[i].path.c_str(),
                rows[i].access ? "read/write" : "no read/write access");
  return 0;
}

}  // namespace kx::cli
