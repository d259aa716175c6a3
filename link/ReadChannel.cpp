#include "link/ReadChannel.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <QSocketNotifier>

namespace kx::link {

ReadChannel::ReadChannel(HidDevice& device, std::unique_ptr<ReportSource> source,
                         DataHandler handler)
    : device_(device), source_(std::move(source)), handler_(std::move(handler)) {
  wakeFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
}

std::shared_ptr<ReadChannel> ReadChannel::start(HidDevice& device,
                                                std::unique_ptr<ReportSource> source,
                                                DataHandler handler) {
  std::shared_ptr<ReadChannel> channel(
      new ReadChannel(device, std::move(source), std::move(handler)));
  ReadChannel* raw = channel.get();
  if (raw->wakeFd_ < 0) return nullptr;  // no descriptor left: the device is not read
  {
    raw->notifier_ = new QSocketNotifier(raw->wakeFd_, QSocketNotifier::Read);
    QObject::connect(raw->notifier_, &QSocketNotifier::activated, raw->notifier_,
                     [weak = std::weak_ptr<ReadChannel>(channel)] {
                       if (auto self = weak.lock()) self->wake();
                     });
  }
  channel->thread_ = std::thread([raw] { raw->run(); });
  return channel;
}

ReadChannel::~ReadChannel() {
  {
    std::lock_guard lock(mutex_);
    stopRequested_ = true;
  }
  changed_.notify_all();
  // Reached only when no hand-over can be delivered any more (see stop), so the thread ends
  // without waiting for the GUI thread.
  {
    std::unique_lock lock(mutex_);
    if (handing_ && !delivering_) {
      pending_.reset();
      handing_ = false;
      changed_.notify_all();
    }
  }
  join();
  if (notifier_) {
    // This may run inside the notifier's own signal: let the event loop delete it.
    notifier_->setEnabled(false);
    notifier_->deleteLater();
  }
  if (wakeFd_ >= 0) close(wakeFd_);
}

void ReadChannel::wake() {
  std::uint64_t count = 0;
  [[maybe_unused]] ssize_t n = read(wakeFd_, &count, sizeof count);
  deliver();
}

void ReadChannel::join() {
  if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
}

void ReadChannel::run() {
  InputReport report;
  for (;;) {
    {
      std::lock_guard lock(mutex_);
      if (stopRequested_) break;
    }
    const ReportSource::Result r = source_->read(report, kReadTimeout);
    std::unique_lock lock(mutex_);
    if (stopRequested_) break;  // a report read after the stop is not handed over
    if (r == ReportSource::Result::Error) {
      // A failed read is not reported; rest a little and try again.
      changed_.wait_for(lock, kErrorRest, [this] { return stopRequested_; });
      continue;
    }
    if (r == ReportSource::Result::Timeout) continue;

    pending_ = std::move(report);
    report = InputReport{};
    handing_ = true;
    pause_ = std::chrono::milliseconds{0};
    const std::uint64_t one = 1;
    [[maybe_unused]] ssize_t n = write(wakeFd_, &one, sizeof one);
    // Wait until the GUI thread has run the handler, also when a stop comes meanwhile: a
    // hand-over once started is carried out.
    changed_.wait(lock, [this] { return !handing_; });
    if (pause_.count() > 0) changed_.wait_for(lock, pause_, [this] { return stopRequested_; });
  }
  std::lock_guard lock(mutex_);
  finished_ = true;
  changed_.notify_all();
}

void ReadChannel::deliver() {
  InputReport report;
  DataHandler handler;
  {
    std::lock_guard lock(mutex_);
    if (!pending_ || delivering_) return;
    report = std::move(*pending_);
    pending_.reset();
    delivering_ = true;
    handler = handler_;
  }
  std::chrono::milliseconds pause{0};
  try {
    pause = handler(device_, report.reportId, report.data.data(),
                    static_cast<std::uint16_t>(std::min<std::size_t>(report.data.size(), 0xFFFF)));
  } catch (...) {
    // The handler reports its own errors; the thread must learn that the hand-over is over.
  }
  bool joinNow = false;
  {
    std::lock_guard lock(mutex_);
    delivering_ = false;
    handing_ = false;
    pause_ = pause;
    joinNow = joinAfterDelivery_;
  }
  changed_.notify_all();
  if (joinNow) join();
}

bool ReadChannel::handOverPending() const {
  std::lock_guard lock(mutex_);
  return pending_.has_value();
}

void ReadChannel::stop() {
  {
    std::lock_guard lock(mutex_);
    stopRequested_ = true;
    if (delivering_) {
      // Inside our own hand-over: the thread ends right after it; join then.
      joinAfterDelivery_ = true;
      changed_.notify_all();
      return;
    }
  }
  changed_.notify_all();
  // Deliver a hand-over already started, until the thread has ended.
  for (;;) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return finished_ || (pending_.has_value() && !delivering_); });
    if (finished_) break;
    lock.unlock();
    deliver();
  }
  join();
}

}  // namespace kx::link
