// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Messages that reached the application's error display during a test, the
// information box's messages, and the answers the file dialogs give: the test
// main installs these in place of the modal windows.

#include <QString>
#include <QStringList>

#include "ui/UserDialogs.h"

namespace o5::test {

QStringList& CapturedErrors();
// Returns the captured messages and forgets them.
QStringList TakeErrors();

QStringList& CapturedInformation();
QStringList TakeInformation();

// The paths the next file dialogs answer, in order; a dialog with no answer
// left is cancelled (empty path). Each request is kept for the test to check.
void AnswerFileDialogs(const QStringList& paths);
const QList<FileDialogRequest>& FileDialogRequests();
void ClearFileDialogs();

// Installs the recording displays and the answering file dialog.
void InstallTestDialogs();

}  // namespace o5::test
