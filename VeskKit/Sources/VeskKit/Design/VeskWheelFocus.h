#pragma once

// A control that sets a value by the wheel (a pop-up menu, a slider, a
// stepper) takes the wheel only while it has the keyboard, and the wheel
// does not give it the keyboard. A wheel turned to scroll a page passes over
// many of them on its way: there it scrolls the page on, and leaves the
// values and what they save as they were.
namespace VeskWheelFocus {

// Once at start: the rule then holds for every such control the
// application shows, the kit's and its own.
void applyApplicationWide();

} // namespace VeskWheelFocus
