// SPDX-License-Identifier: GPL-3.0-or-later
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

QStringList TakeAll(QStringList& messages) {
  QStringList out;
  out.swap(messages);
  return out;
}

}  // namespace

QStringList& CapturedErrors() {
  static QStringList errors;
  return errors;
}

QStringList TakeErrors() { return TakeAll(CapturedErrors()); }

QStringList& CapturedInformation() {
  static QStringList messages;
  return messages;
}

QStringList TakeInformation() { return TakeAll(CapturedInformation()); }

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
