#include "Text.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace numira {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

std::string ConvertToUtf8(const char* from, std::string_view bytes) {
  iconv_t cd = iconv_open("UTF-8", from);
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error(std::string("iconv cannot convert from ") + from);
  std::string out;
  char buf[1024];
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  while (inLeft > 0) {
    char* o = buf;
    std::size_t oLeft = sizeof buf;
    const std::size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
    out.append(buf, static_cast<std::size_t>(o - buf));
    if (r != static_cast<std::size_t>(-1)) break;
    if (errno == E2BIG) continue;
    // EILSEQ or EINVAL (an invalid or cut-off character): replace one byte and go on.
    out.append(kReplacement);
    ++in;
    --inLeft;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  iconv_close(cd);
  return out;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view bytes) { return ConvertToUtf8("CP932", bytes); }

std::string SanitizeUtf8(std::string_view bytes) { return ConvertToUtf8("UTF-8", bytes); }

std::string TruncateUtf8(std::string_view text, std::size_t maxBytes) {
  if (text.size() <= maxBytes) return std::string(text);
  std::size_t n = maxBytes;
  // Step back over continuation bytes so that no character is cut in half.
  while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  return std::string(text.substr(0, n));
}

}  // namespace numira
