#include "link/ReadChannel.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace kx::link {

ReadChannel::ReadChannel(HidDevice& device, std::unique_ptr<ReportSource> source,
                         DataHandler handler)
    : device_(device), source_(std::move(source)), handler_(std::move(handler)) {}

std::shared_ptr<ReadChannel> ReadChannel::start(HidDevice& device,
                                                std::unique_ptr<ReportSource> source,
                                                DataHandler handler) {
  std::shared_ptr<ReadChannel> channel(
      new ReadChannel(device, std::move(source), std::move(handler)));
  channel->thread_ = std::thread([raw = channel.get()] { raw->run(); });
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
    std::weak_ptr<ReadChannel> weak = weak_from_this();
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [weak] {
          if (auto self = weak.lock()) self->deliver();
        },
        Qt::QueuedConnection);
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
