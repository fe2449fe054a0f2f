// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The four windows of the program, created at start-up in this order and alive
// until it ends; and the history window, made when it is first asked for.

namespace o5 {

class TfMain;
class TfrmModes;
class TfGraph;
class TfBB;
class TfHistory;

extern TfMain* fMain;
extern TfrmModes* frmModes;
extern TfGraph* fGraph;
extern TfBB* fBB;
extern TfHistory* fHistory;  // null until first shown

// Creates the four windows in order (fMain, frmModes, fGraph, fBB); an error
// leaves none of them behind and is passed on.
void CreateForms();
void DestroyForms();

// Shows the history window, its lists read afresh; readouts open in the
// black-box window, journals in the graph window.
void ShowHistory();

}  // namespace o5
