#pragma once

class QWidget;

// Escape closes `window` (hides it, as its close box does), wherever the focus is inside it.
// An editor that is open takes the key first.
void CloseOnEscape(QWidget *window);

// Screen readers are told that `window`, a plain widget shown as a window of its own, is a
// window (and not a part of another one).
void AnnounceAsWindow(QWidget *window);
