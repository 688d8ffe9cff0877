#pragma once
// The text colours the window asks the dialog for each time it draws a control.
#include <cstdint>

#include "RollState.h"

namespace numira {

enum class TextColour { Default, Red, Blue, DarkGreen };

// A result field rolls in red and the standing proposal is blue.
inline TextColour ResultColour(std::int32_t rollInterval) {
  return rollInterval >= kFinishInterval ? TextColour::Blue : TextColour::Red;
}

}  // namespace numira
