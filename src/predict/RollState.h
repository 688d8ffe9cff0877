#pragma once
// Per-game state of a roll and the deceleration rule that ends it.
#include <cstdint>

namespace numira {

struct RollState {
  std::int8_t stopCounter = 1;  // 0 while rolling freely; 1..20 once stopping or idle
  std::int32_t rollInterval = 10;  // ms to the next tick; 1000 or more ends the roll
  std::int32_t filterWasChecked = 0;
  std::int32_t lotoMode = -1;  // Loto games: -1 free draw, 0 past combination, 1 never-won
};

inline constexpr std::int32_t kFreeRollInterval = 10;
inline constexpr std::int32_t kFinishInterval = 1000;

// One tick's deceleration: once a stop was asked for, every tick counts up and waits longer.
inline void DecelerationStep(RollState& s) {
  if (s.stopCounter != 0) {
    ++s.stopCounter;
    s.rollInterval += 5 * s.stopCounter;
  }
}

inline bool RollFinished(const RollState& s) { return s.rollInterval >= kFinishInterval; }

// Text colours the window asks for at paint time.
enum class TextColour { Default, Red, Blue, DarkGreen };

// A result field rolls in red and the standing proposal is blue.
inline TextColour ResultColour(std::int32_t rollInterval) {
  return rollInterval >= kFinishInterval ? TextColour::Blue : TextColour::Red;
}

}  // namespace numira
