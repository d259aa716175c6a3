#include "records/RecordTable.h"

#include <algorithm>
#include <stdexcept>

namespace kx {

const char* fieldName(Field f) {
  static constexpr const char* kNames[] = {"No", "Time", "Value", "Unit", "V_Range", "I_Range"};
  return kNames[static_cast<int>(f)];
}

RecordTable::RecordTable() = default;
RecordTable::~RecordTable() = default;

RecordTable::Row& RecordTable::newRow() {
  const size_t chunk = count_ >> kChunkBits;
  if (chunk == chunks_.size()) {
    // make_unique_for_overwrite leaves the chunk untouched, so only rows in use are resident.
    chunks_.push_back(std::make_unique_for_overwrite<Row[]>(kChunkRows));
  }
  return chunks_[chunk][count_ & (kChunkRows - 1)];
}

void RecordTable::append(const Record& r, bool logged) {
  std::array<std::optional<std::string_view>, 4> texts;
  for (int i = 0; i < 4; ++i)
    if (r.texts[i]) texts[i] = *r.texts[i];
  store(r.no, r.timeMs, texts, logged);
}

void RecordTable::append(std::optional<int32_t> no, std::optional<int32_t> timeMs,
                         std::string_view value, std::string_view unit, std::string_view vRange,
                         std::string_view iRange, bool logged) {
  store(no, timeMs, {value, unit, vRange, iRange}, logged);
}

void RecordTable::store(std::optional<int32_t> no, std::optional<int32_t> timeMs,
                        const std::array<std::optional<std::string_view>, 4>& texts, bool logged) {
  if (timeMs && (*timeMs < 0 || *timeMs >= kMsPerDay))
    throw std::out_of_range("time of day out of range");
  Row& row = newRow();
  row.no = no.value_or(0);
  row.timeAndFlags = static_cast<uint32_t>(timeMs.value_or(0)) | (logged ? kLogged : 0) |
                     (no ? 0 : kNoNull) | (timeMs ? 0 : kTimeNull);
  // An empty text gets an id of its own, so it stays distinct from "no value".
  for (int i = 0; i < 4; ++i) {
    if (!texts[i]) {
      row.text[i] = TextPool::kNull;
      continue;
    }
    const std::string_view text = texts[i]->substr(0, kTextFieldSize);
    auto& last = lastText_[i];
    if (last.first == TextPool::kNull || last.second != text) {
      last.first = pool_.intern(text);
      last.second = pool_.text(last.first);
    }
    row.text[i] = last.first;
  }
  notifyAppended(count_++);
}

void RecordTable::notifyAppended(size_t r) {
  current_ = r;
  if (suspended_) {
    changedWhileSuspended_ = true;
    return;
  }
  for (auto* o : observers_) o->appended(r, r);
}

void RecordTable::notifyAboutToReset() {
  if (!suspended_)
    for (auto* o : observers_) o->aboutToReset();
}

void RecordTable::notifyReset() {
  if (suspended_) {
    changedWhileSuspended_ = true;
    return;
  }
  for (auto* o : observers_) o->reset();
}

void RecordTable::clear() {
  notifyAboutToReset();
  chunks_.clear();
  count_ = 0;
  pool_.clear();
  lastText_ = {};
  current_.reset();
  notifyReset();
}

void RecordTable::replaceWith(RecordTable& other) {
  if (&other == this) return;
  notifyAboutToReset();
  chunks_ = std::move(other.chunks_);
  count_ = other.count_;
  std::swap(pool_, other.pool_);
  current_ = count_ ? std::optional<size_t>(0) : std::nullopt;
  other.chunks_.clear();
  other.count_ = 0;
  other.pool_.clear();
  lastText_ = {};
  other.lastText_ = {};
  other.current_.reset();
  notifyReset();
}

bool RecordTable::isNull(size_t r, Field f) const {
  const Row& row = this->row(r);
  switch (f) {
    case Field::No:
      return row.timeAndFlags & kNoNull;
    case Field::Time:
      return row.timeAndFlags & kTimeNull;
    default:
      return row.text[static_cast<int>(f) - 2] == TextPool::kNull;
  }
}

std::optional<int32_t> RecordTable::no(size_t r) const {
  const Row& row = this->row(r);
  if (row.timeAndFlags & kNoNull) return std::nullopt;
  return row.no;
}

std::optional<int32_t> RecordTable::timeMs(size_t r) const {
  const Row& row = this->row(r);
  if (row.timeAndFlags & kTimeNull) return std::nullopt;
  return static_cast<int32_t>(row.timeAndFlags & kTimeMask);
}

std::optional<std::string_view> RecordTable::text(size_t r, Field f) const {
  const uint32_t id = row(r).text[static_cast<int>(f) - 2];
  if (id == TextPool::kNull) return std::nullopt;
  return pool_.text(id);
}

bool RecordTable::isLogged(size_t r) const {
  return row(r).timeAndFlags & kLogged;
}

Record RecordTable::record(size_t r) const {
  Record out;
  out.no = no(r);
  out.timeMs = timeMs(r);
  for (int i = 0; i < 4; ++i) {
    const auto f = static_cast<Field>(i + 2);
    if (auto t = text(r, f)) out.text(f) = std::string(*t);
  }
  return out;
}

void RecordTable::disableControls() {
  ++suspended_;
}

void RecordTable::enableControls() {
  if (suspended_ == 0) return;
  if (--suspended_ == 0 && changedWhileSuspended_) {
    changedWhileSuspended_ = false;
    for (auto* o : observers_) o->aboutToReset();
    for (auto* o : observers_) o->reset();
  }
}

void RecordTable::addObserver(RecordTableObserver* o) {
  observers_.push_back(o);
}

void RecordTable::removeObserver(RecordTableObserver* o) {
  std::erase(observers_, o);
}

size_t RecordTable::memoryBytes() const {
  size_t bytes = count_ * sizeof(Row);
  for (size_t i = 0; i < pool_.size(); ++i) bytes += pool_.text(static_cast<uint32_t>(i)).size();
  return bytes;
}

}  // namespace kx
