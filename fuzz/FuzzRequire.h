#pragma once
// The fuzz targets' one assertion: a broken property ends the run as a finding.
#include <cstdlib>

namespace numira::fuzz {

inline void Require(bool ok) {
  if (!ok) std::abort();
}

}  // namespace numira::fuzz
