#pragma once
// The one random generator of the rolling draws: a 32-bit linear congruential
// generator with 15-bit results, shared by all games.
#include <cstdint>

namespace numira {

class RollRandom {
 public:
  void Seed(std::uint32_t s) { state_ = s; }
  // 0 to 32767.
  int Next() {
    state_ = state_ * 214013u + 2531011u;
    return static_cast<int>((state_ >> 16) & 0x7FFF);
  }
  // A random index below n (plain remainder), n > 0.
  int Below(int n) { return Next() % n; }

 private:
  std::uint32_t state_ = 1;
};

}  // namespace numira
