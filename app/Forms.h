#pragma once
// The four windows of the program, created at start-up in this order and alive
// until it ends.

namespace o5 {

class TfMain;
class TfrmModes;
class TfGraph;
class TfBB;

extern TfMain* fMain;
extern TfrmModes* frmModes;
extern TfGraph* fGraph;
extern TfBB* fBB;

// Creates the four windows in order (fMain, frmModes, fGraph, fBB); an error
// leaves none of them behind and is passed on.
void CreateForms();
void DestroyForms();

}  // namespace o5
