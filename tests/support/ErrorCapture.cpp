#include "tests/support/ErrorCapture.h"

namespace o5::test {

QStringList& CapturedErrors() {
  static QStringList errors;
  return errors;
}

QStringList TakeErrors() {
  QStringList out;
  out.swap(CapturedErrors());
  return out;
}

}  // namespace o5::test
