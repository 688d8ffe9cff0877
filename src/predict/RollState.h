#pragma once
// Per-game state of a roll and the deceleration rule that ends it.
#include <cstdint>

namespace numira {

// How a Loto game's roll draws its combinations.
enum class LotoMode : std::int32_t { Free = -1, Past = 0, NeverWon = 1 };

struct RollState {
  std::int8_t stopCounter = 1;  // 0 while rolling freely; 1..20 once stopping or idle
  std::int32_t rollInterval = 10;  // ms to the next tick; 1000 or more ends the roll
  std::int32_t filterWasChecked = 0;
  LotoMode lotoMode = LotoMode::Free;  // Loto games only
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

}  // namespace numira
