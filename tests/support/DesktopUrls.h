// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the tool asks the desktop to show (a folder in the file manager), caught
// for a test: while the object lives, the URLs of its scheme come here instead.

#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>

namespace o5::test {

class DesktopUrls : public QObject {
  Q_OBJECT

 public:
  explicit DesktopUrls(const QString& scheme = "file");
  ~DesktopUrls() override;

  QList<QUrl> shown;

 public slots:
  void Show(const QUrl& url);

 private:
  QString scheme_;
};

}  // namespace o5::test
