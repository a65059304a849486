// For tests and diagnostics: an observer that sees each paint of a window or
// control of this layer, on the GUI thread, before the window draws.
#pragma once

class CWnd;

using PaintObserver = void (*)(CWnd* wnd);
// Installs the observer (null removes it) and returns the one it replaces.
PaintObserver AfxSetPaintObserver(PaintObserver observer);
