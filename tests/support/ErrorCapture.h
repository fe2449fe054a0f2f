#pragma once
// Messages that reached the application's error display during a test.

#include <QString>
#include <QStringList>

namespace o5::test {

QStringList& CapturedErrors();
// Returns the captured messages and forgets them.
QStringList TakeErrors();

}  // namespace o5::test
