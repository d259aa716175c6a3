#include "records/RecordTableModel.h"

#include "app/core/Cp936.h"

namespace kx {

RecordTableModel::RecordTableModel(RecordTable& table, QObject* parent)
    : QAbstractTableModel(parent),
      table_(table),
      timeText_(TimeText::fromLocale()),
      rows_(static_cast<int>(table.count())) {
  table_.addObserver(this);
}

RecordTableModel::~RecordTableModel() {
  table_.removeObserver(this);
}

int RecordTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rows_;
}

int RecordTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kFieldCount;
}

QString RecordTableModel::displayText(size_t row, Field f) const {
  switch (f) {
    case Field::No:
      if (auto n = table_.no(row)) return QString::number(*n);
      return {};
    case Field::Time:
      if (auto t = table_.timeMs(row)) return QString::fromStdString(timeText_.text(*t));
      return {};
    default:
      if (auto t = table_.text(row, f)) return QString::fromStdString(cp936ToUtf8(*t));
      return {};
  }
}

QVariant RecordTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rows_ || index.column() >= kFieldCount) return {};
  if (role == Qt::DisplayRole)
    return displayText(static_cast<size_t>(index.row()), kGridColumns[index.column()].field);
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignCenter);
  return {};
}

QVariant RecordTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal && section >= 0 && section < kFieldCount) {
    if (role == Qt::DisplayRole) return QString::fromLatin1(kGridColumns[section].title);
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignCenter);
    return {};
  }
  if (orientation == Qt::Vertical && role == Qt::DisplayRole) return QString();
  return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags RecordTableModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void RecordTableModel::appended(size_t first, size_t last) {
  beginInsertRows({}, static_cast<int>(first), static_cast<int>(last));
  rows_ = static_cast<int>(last) + 1;
  endInsertRows();
  if (auto cur = table_.current()) emit currentRowChanged(static_cast<int>(*cur));
}

void RecordTableModel::aboutToReset() {
  beginResetModel();
}

void RecordTableModel::reset() {
  rows_ = static_cast<int>(table_.count());
  endResetModel();
  emit currentRowChanged(table_.current() ? static_cast<int>(*table_.current()) : -1);
}

}  // namespace kx
