#pragma once
// How long a refresh may wait before it gives up, and how much it takes: a blocked
// refresh must always end, and no answer may fill the memory or the disk.
#include <cstdint>

#include "ListValidation.h"

namespace numira {

struct FetchLimits {
  long connectTimeoutMs = 10000;     // name resolution and the connection
  long lowSpeedBytesPerSecond = 1;   // a transfer slower than this ...
  long lowSpeedSeconds = 30;         // ... for this many seconds is abandoned
  long totalTimeoutMs = 60000;       // a fetch, even when it trickles on (and a whole refresh); 0: none
  long maxRedirects = 10;
  // A body (after decoding any content encoding) larger than a list may be is refused
  // while it arrives. 0: no limit.
  std::int64_t maxBodyBytes = static_cast<std::int64_t>(kListSizeLimit);
};

}  // namespace numira
