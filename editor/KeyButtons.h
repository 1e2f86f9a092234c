#pragma once

namespace keyloom {

// Key button KeyN carries the Tag N - 1. In the 24-key layout the buttons are the keys in order;
// in the 48-key layout KeyPanel1 (Key1..Key24) holds columns 0-3 and KeyPanel2 (Key25..Key48)
// columns 4-7 of a keypad of 8 columns by 6 rows, numbered row by row.
int KeyIndexOfButtonTag(int tag, int numberOfKeys);
// The inverse: the Tag of the button that shows keyIndex in the layout.
int ButtonTagOfKeyIndex(int keyIndex, int numberOfKeys);

} // namespace keyloom
