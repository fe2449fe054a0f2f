// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/DesktopUrls.h"

#include <QDesktopServices>

namespace o5::test {

DesktopUrls::DesktopUrls(const QString& scheme) : scheme_(scheme) {
  QDesktopServices::setUrlHandler(scheme_, this, "Show");
}

DesktopUrls::~DesktopUrls() { QDesktopServices::unsetUrlHandler(scheme_); }

void DesktopUrls::Show(const QUrl& url) { shown << url; }

}  // namespace o5::test
