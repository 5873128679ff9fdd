// What a screen reader says for every control of the two windows, and the keys that
// reach from the keyboard what the mouse reaches.
#pragma once

namespace zendric {

class TMainScreen;
class TAboutDialog;

// Names and descriptions of the reader window's controls; F1 opens the About box; the
// result column shows a frame while it has the focus.
void MakeReaderAccessible(TMainScreen& window);

// Names and descriptions of the About box's controls; the links take the focus after
// the buttons and open with Enter or Space, and a screen reader sees them as links.
void MakeAboutAccessible(TAboutDialog& dialog);

}  // namespace zendric
