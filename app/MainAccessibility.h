#pragma once
// What a screen reader hears of the main window's controls that show no text
// of their own: the connection lamp (its state as its name, the last frame's
// time as its description), the emblem, the two panes.

namespace o5 {

class TfMain;

void NameMainControls(TfMain& main);

}  // namespace o5
