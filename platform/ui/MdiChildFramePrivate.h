// Private to the window layer: the frame of an MDI child. A child window of the
// main frame's client area gets a border and a caption bar showing its title,
// with a close button, and can be moved by dragging the caption; its own
// children live in a client area below the caption.
#pragma once

struct CWndImpl;

namespace kvui {
void FrameMdiChild(CWndImpl* impl);
}  // namespace kvui
