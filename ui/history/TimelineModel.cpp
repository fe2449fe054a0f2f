// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/history/TimelineModel.h"

#include <utility>

namespace o5 {

TimelineModel::TimelineModel(QStringList titles, QObject* parent)
    : QAbstractTableModel(parent), titles_(std::move(titles)) {}

void TimelineModel::SetEvents(std::vector<TimelineEvent> events) {
  beginResetModel();
  events_ = std::move(events);
  endResetModel();
}

int TimelineModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(events_.size());
}

int TimelineModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(titles_.size());
}

QVariant TimelineModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) return {};
  const TimelineEvent& event = events_[static_cast<std::size_t>(index.row())];
  return QString::fromStdString(index.column() == 0 ? DisplayTime(event.when) : event.text);
}

QVariant TimelineModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= titles_.size()) return {};
  return titles_[section];
}

}  // namespace o5
