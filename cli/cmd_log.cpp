// kx3816-cli log: headless recording with the window's rules. Connects to the bridge (or the
// simulated meter with --demo), records readings as the window would, prints each record as it
// is made, and saves the table at the end of the duration, on SIGINT or on SIGTERM.

#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "app/core/Cp936.h"
#include "cli/Commands.h"
#include "cli/cli_common.h"
#include "files/RecordFiles.h"
#include "lcd/FrameDecoder.h"
#include "link/FrameAssembler.h"
#include "link/HidapiBackend.h"
#include "link/QtWatchdog.h"
#include "link/SimBridge.h"
#include "records/Recorder.h"
#include "records/TimeText.h"

namespace kx::cli {

namespace {

const char kUsage[] =
    "usage: kx3816-cli log [--demo [FILE]] [--repeat | --no-repeat] [--interval N] [--limit N]\n"
    "                      [--duration S] [--out FILE]\n";

int signalPipe[2] = {-1, -1};

void onSignal(int) {
  const char c = 1;
  [[maybe_unused]] ssize_t n = write(signalPipe[1], &c, 1);
}

// Messages go to standard error; questions are answered No.
class CliPrompts : public Prompts {
 public:
  bool confirm(const std::string&, const std::string&) override { return false; }
  void information(const std::string&, const std::string& text) override { say(text); }
  void notice(const std::string& text) override { say(text); }
  void error(const std::string& text) override { say(text); }

 private:
  static void say(const std::string& text) {
    std::fprintf(stderr, "kx3816-cli log: %s\n", cp936ToUtf8(text).c_str());
  }
};

bool parseNumber(const std::string& text, long min, long max, long& out) {
  try {
    std::size_t used = 0;
    const long v = std::stol(text, &used);
    if (used != text.size() || v < min || v > max) return false;
    out = v;
    return true;
  } catch (...) {
    return false;
  }
}

std::string field(const RecordTable& t, std::size_t row, Field f) {
  const auto v = t.text(row, f);
  return v ? cp936ToUtf8(*v) : std::string();
}

}  // namespace

int cmdLog(const Args& args) {
  bool demo = false;
  std::string demoFile, out;
  bool repeat = true;
  long interval = -1, limit = -1, duration = -1;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](long min, long max, long& v) {
      return i + 1 < args.size() && parseNumber(args[++i], min, max, v);
    };
    if (a == "--demo") {
      demo = true;
      if (i + 1 < args.size() && args[i + 1].rfind("--", 0) != 0) demoFile = args[++i];
    } else if (a == "--repeat") {
      repeat = true;
    } else if (a == "--no-repeat") {
      repeat = false;
    } else if (a == "--interval") {
      if (!value(0, 2147483647L, interval)) {
        std::fprintf(stderr, "kx3816-cli log: --interval takes a whole number of seconds\n");
        return 2;
      }
    } else if (a == "--limit") {
      if (!value(0, 2147483647L, limit)) {
        std::fprintf(stderr, "kx3816-cli log: --limit takes a whole number of records\n");
        return 2;
      }
    } else if (a == "--duration") {
      if (!value(1, 31L * 24 * 3600, duration)) {
        std::fprintf(stderr, "kx3816-cli log: --duration takes a whole number of seconds\n");
        return 2;
      }
    } else if (a == "--out" && i + 1 < args.size()) {
      out = args[++i];
    } else {
      std::fputs(kUsage, stderr);
      return 2;
    }
  }

  int argc = 1;
  char name[] = "kx3816-cli";
  char* argv[] = {name, nullptr};
  QCoreApplication app(argc, argv);

  std::unique_ptr<link::HidController> hid;
  if (demo) {
    std::unique_ptr<link::FrameSource> frames;
    if (!demoFile.empty()) {
      std::string error;
      frames = link::loadFrameFile(demoFile, error);
      if (!frames) {
        std::fprintf(stderr, "kx3816-cli log: %s\n", error.c_str());
        return 2;
      }
    } else {
      frames = link::makeDemoScenario();
    }
    hid = std::make_unique<link::SimBridge>(std::move(frames));
  } else {
    hid = std::make_unique<link::HidapiController>();
  }

  // The window's state and rules.
  AppState state;
  RecordTable table;
  RecordControls controls;
  Recorder recorder(state, table, controls, localTimeOfDayMs);
  recorder.setLimit(LimitItem::set10k);
  controls.repeatSet = repeat;
  if (limit >= 0) state.RecordLimit = static_cast<std::int32_t>(limit);
  if (interval >= 0) {
    controls.recordSI = true;
    controls.recordSITime = std::to_string(interval);
    if (auto error = recorder.RecordSITimeChange()) {
      std::fprintf(stderr, "kx3816-cli log: %s\n", error->c_str());
      return 2;
    }
  }
  QTimer sampInterTime;
  sampInterTime.setInterval(1000);
  QObject::connect(&sampInterTime, &QTimer::timeout, [&] { recorder.SampInterTimeTimer(); });
  sampInterTime.start();

  const TimeText timeText = TimeText::fromLocale();
  lcd::LcdModel model;
  lcd::FrameDecoder decoder(model, state);
  decoder.setDecimalSeparator(decimalSeparatorOrDot());
  QTimer timer2;
  timer2.setInterval(1000);
  link::QtWatchdog watchdog(timer2);
  decoder.setRestartWatchdog([&] { watchdog.restart(); });
  decoder.setRecordStep([&] {
    if (recorder.INDataToTable(1) != RecordOutcome::Recorded) return;
    const std::size_t row = table.count() - 1;
    const auto no = table.no(row);
    const auto ms = table.timeMs(row);
    std::printf("%d\t%s\t%s\t%s\t%s\t%s\n", no ? *no : 0, ms ? timeText.text(*ms).c_str() : "",
                field(table, row, Field::Value).c_str(), field(table, row, Field::Unit).c_str(),
                field(table, row, Field::V_Range).c_str(),
                field(table, row, Field::I_Range).c_str());
    std::fflush(stdout);
  });

  CliPrompts prompts;
  link::LinkController link(
      *hid, watchdog, prompts,
      [&](link::HidDevice&, std::uint8_t id, const std::uint8_t* data, std::uint16_t size) {
        int pauseMs = 0;
        try {
          link::takeReport(state, id, data, size, [&](const std::string& frame) {
            pauseMs = decoder.ShowDataTarn(frame).pauseMs;
          });
        } catch (const std::exception& e) {
          prompts.error(e.what());
        }
        return std::chrono::milliseconds(pauseMs);
      });
  QObject::connect(&timer2, &QTimer::timeout, [&] { link.Timer2Timer(); });
  hid->setDeviceChangeHandler([&] { link.HidCtlDeviceChange(); });

  // SIGINT and SIGTERM end the run through the event loop.
  if (pipe(signalPipe) != 0) {
    std::perror("kx3816-cli log: pipe");
    return 1;
  }
  QSocketNotifier signalNotifier(signalPipe[0], QSocketNotifier::Read);
  QObject::connect(&signalNotifier, &QSocketNotifier::activated, [&] {
    char c;
    [[maybe_unused]] ssize_t n = read(signalPipe[0], &c, 1);
    QCoreApplication::quit();
  });
  struct sigaction sa {};
  sa.sa_handler = onSignal;
  sigemptyset(&sa.sa_mask);
  sigaction(SIGINT, &sa, nullptr);
  sigaction(SIGTERM, &sa, nullptr);

  link.Panel2Click();  // Connect
  int rc = 0;
  if (link.model().Panel2Caption != link::kDisconnect) {
    std::fprintf(stderr, "kx3816-cli log: the bridge could not be connected%s\n",
                 link.SelectedDevice() && !link.SelectedDevice()->hasReadWriteAccess()
                     ? " (no read/write access to it)"
                     : "");
    rc = 1;
  } else {
    if (duration > 0)
      QTimer::singleShot(std::chrono::seconds(duration), [] { QCoreApplication::quit(); });
    app.exec();
    link.Panel2Click();  // Disconnect
  }
  link.shutDown();
  signal(SIGINT, SIG_DFL);
  signal(SIGTERM, SIG_DFL);
  close(signalPipe[0]);
  close(signalPipe[1]);

  if (!out.empty()) {
    if (auto error = saveRecordFile(table, out)) {
      std::fprintf(stderr, "kx3816-cli log: %s\n", cp936ToUtf8(*error).c_str());
      return 1;
    }
    std::fprintf(stderr, "kx3816-cli log: %zu records saved to %s\n", table.count(), out.c_str());
  }
  return rc;
}

}  // namespace kx::cli
