#pragma once

class QWidget;

// Escape closes `window` (hides it, as its close box does) wherever the focus is inside it,
// unless the control with the focus takes the key itself (an open cell editor does).
void CloseOnEscape(QWidget *window);

// Screen readers are told that `window`, a plain widget shown as a window of its own, is a
// window (and not a part of another one).
void AnnounceAsWindow(QWidget *window);
