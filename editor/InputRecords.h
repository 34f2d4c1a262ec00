#pragma once

namespace torvane {

// What the window layer hands the editor with each pointer event: the buttons
// held and the modifier keys. There is no middle-button flag.
struct IMouseKeys {
  bool left = false;
  bool right = false;
  bool shift = false;
  bool control = false;
  bool alt = false;
};

// The keys the window layer delivers to the editor; others stay with the host.
enum KeyCode : int {
  KeySpace = 0,
  KeyUp = 1,
  KeyDown = 2,
  KeyLeft = 3,
  KeyRight = 4,
  KeyDigit0 = 5,   // .. KeyDigit0 + 9 for the digit 9
  KeyLetterA = 15  // .. KeyLetterA + 25 for the letter Z
};

}  // namespace torvane
