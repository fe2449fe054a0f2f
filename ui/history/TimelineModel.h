// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A session's timeline as the history window lists it: a row per event, its
// time and its text. The events are kept as read and made into text only for
// the rows on the screen, so that a timeline of hundreds of thousands of
// events lists at once.

#include <QAbstractTableModel>
#include <QStringList>

#include <vector>

#include "archive/TimelineFile.h"

namespace o5 {

class TimelineModel : public QAbstractTableModel {
 public:
  TimelineModel(QStringList titles, QObject* parent);

  void SetEvents(std::vector<TimelineEvent> events);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  QStringList titles_;
  std::vector<TimelineEvent> events_;
};

}  // namespace o5
