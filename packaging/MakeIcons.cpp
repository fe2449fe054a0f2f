// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the application icon for the desktop's icon theme: the emblem the tool
// draws for its own windows, as <out>/<n>x<n>/ortan5.png for every size the
// theme folders of the install take. The build runs it on the offscreen
// platform, so no display is needed.

#include <QDir>
#include <QGuiApplication>
#include <QPixmap>

#include <cstdio>

#include "app/Emblem.h"

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s OUTPUT-FOLDER SIZE...\n", argv[0]);
    return 2;
  }
  const QString out = QString::fromLocal8Bit(argv[1]);
  for (int i = 2; i < argc; ++i) {
    bool ok = false;
    const int size = QString::fromLocal8Bit(argv[i]).toInt(&ok);
    if (!ok || size < 8 || size > 1024) {
      std::fprintf(stderr, "%s: bad icon size \"%s\"\n", argv[0], argv[i]);
      return 2;
    }
    const QString folder = QStringLiteral("%1/%2x%2").arg(out).arg(size);
    const QString file = folder + QStringLiteral("/ortan5.png");
    if (!QDir().mkpath(folder) || !o5::MakeEmblem(size, size).save(file, "PNG")) {
      std::fprintf(stderr, "%s: cannot write %s\n", argv[0], qPrintable(file));
      return 1;
    }
  }
  return 0;
}
