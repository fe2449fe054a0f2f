// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A filled rectangle without outline that shows a line colour; any mouse
// button pressed on it, or Space or Enter while it has the focus, reports
// MouseDown. Its accessible description is the colour.

#include <QColor>
#include <QWidget>

namespace o5 {

class ColorSwatch : public QWidget {
  Q_OBJECT

 public:
  explicit ColorSwatch(QWidget* parent = nullptr);

  QColor Color() const { return color_; }
  void SetColor(const QColor& color);
  static QString DescribeColor(const QColor& color);

 signals:
  void MouseDown();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QColor color_;
};

}  // namespace o5
