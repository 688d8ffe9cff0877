#include "Encoding.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <stdexcept>

namespace numira {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// One iconv conversion, closed whatever happens.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(::iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1))
      throw std::runtime_error(std::string("iconv cannot convert from ") + from + " to " + to);
  }
  ~Converter() { ::iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts all of bytes into out, or stops at the first byte that cannot be converted
  // (returning false, with `bytes` left at it). An invalid or cut-off character and a
  // character without a form in the target both stop it.
  bool Convert(std::string_view& bytes, std::string& out) {
    char buf[1024];
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    bool done = true;
    while (inLeft > 0) {
      char* o = buf;
      std::size_t oLeft = sizeof buf;
      const std::size_t r = ::iconv(cd_, &in, &inLeft, &o, &oLeft);
      out.append(buf, static_cast<std::size_t>(o - buf));
      if (r != static_cast<std::size_t>(-1)) break;
      if (errno == E2BIG) continue;
      done = false;
      break;
    }
    bytes.remove_prefix(bytes.size() - inLeft);
    ::iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    return done && inLeft == 0;
  }

 private:
  iconv_t cd_;
};

// Converts to UTF-8; each byte that cannot be converted becomes U+FFFD.
std::string ConvertToUtf8(const char* from, std::string_view bytes) {
  Converter converter("UTF-8", from);
  std::string out;
  while (!converter.Convert(bytes, out) && !bytes.empty()) {
    out.append(kReplacement);
    bytes.remove_prefix(1);
  }
  return out;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view bytes) { return ConvertToUtf8("CP932", bytes); }

std::optional<std::string> Utf8ToCp932(std::string_view text) {
  Converter converter("CP932", "UTF-8");
  std::string out;
  if (!converter.Convert(text, out)) return std::nullopt;
  return out;
}

bool IsCp932(std::string_view bytes) {
  if (std::none_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; })) return true;
  Converter converter("UTF-8", "CP932");
  std::string out;
  return converter.Convert(bytes, out);
}

std::string SanitizeUtf8(std::string_view bytes) { return ConvertToUtf8("UTF-8", bytes); }

std::string TruncateUtf8(std::string_view text, std::size_t maxBytes) {
  if (text.size() <= maxBytes) return std::string(text);
  std::size_t n = maxBytes;
  // Step back over continuation bytes so that no character is cut in half.
  while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  return std::string(text.substr(0, n));
}

std::string Quoted(std::string_view text, QuoteStyle style) {
  std::string out = "\"";
  const std::size_t shown = std::min(text.size(), style.maxBytes);
  for (std::size_t i = 0; i < shown; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    const bool plain = style.asciiOnly ? c >= 0x20 && c < 0x7F && c != '"' && c != '\\' : c >= 0x20 && c != 0x7F;
    if (plain) {
      out += static_cast<char>(c);
    } else if (c == '\r' && style.namedCarriageReturn) {
      out += "\\r";
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  if (shown < text.size()) out += "...";
  return out + "\"";
}

}  // namespace numira
