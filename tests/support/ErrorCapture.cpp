#include "tests/support/ErrorCapture.h"

#include "app/ErrorDisplay.h"

namespace o5::test {

namespace {

QStringList& Answers() {
  static QStringList answers;
  return answers;
}

QList<FileDialogRequest>& Requests() {
  static QList<FileDialogRequest> requests;
  return requests;
}

}  // namespace

QStringList& CapturedErrors() {
  static QStringList errors;
  return errors;
}

QStringList TakeErrors() {
  QStringList out;
  out.swap(CapturedErrors());
  return out;
}

QStringList& CapturedInformation() {
  static QStringList messages;
  return messages;
}

QStringList TakeInformation() {
  QStringList out;
  out.swap(CapturedInformation());
  return out;
}

void AnswerFileDialogs(const QStringList& paths) { Answers() = paths; }

const QList<FileDialogRequest>& FileDialogRequests() { return Requests(); }

void ClearFileDialogs() {
  Answers().clear();
  Requests().clear();
}

void InstallTestDialogs() {
  SetErrorDisplay([](const QString& text) { CapturedErrors().append(text); });
  SetInformationDisplay([](const QString& text) { CapturedInformation().append(text); });
  SetFileDialog([](FileDialogRequest& request) {
    Requests().append(request);
    return Answers().isEmpty() ? QString() : Answers().takeFirst();
  });
}

}  // namespace o5::test
