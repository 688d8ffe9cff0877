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

namespace {

// The length of the well-formed UTF-8 character at the start of text (1 to 4), or 0 when
// its bytes are not one (a stray or cut-off byte, an overlong form, a surrogate).
std::size_t Utf8Length(std::string_view text) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char c = byte(0);
  if (c < 0x80) return 1;
  std::size_t n = 0;
  unsigned char low = 0x80, high = 0xBF;  // the second byte's range
  if (c >= 0xC2 && c <= 0xDF) n = 2;
  else if (c >= 0xE0 && c <= 0xEF) n = 3, low = c == 0xE0 ? 0xA0 : 0x80, high = c == 0xED ? 0x9F : 0xBF;
  else if (c >= 0xF0 && c <= 0xF4) n = 4, low = c == 0xF0 ? 0x90 : 0x80, high = c == 0xF4 ? 0x8F : 0xBF;
  if (n == 0 || text.size() < n || byte(1) < low || byte(1) > high) return 0;
  for (std::size_t i = 2; i < n; ++i)
    if ((byte(i) & 0xC0) != 0x80) return 0;
  return n;
}

void AppendEscaped(std::string& out, unsigned char c) {
  char hex[8];
  std::snprintf(hex, sizeof hex, "\\x%02X", c);
  out += hex;
}

}  // namespace

std::string Quoted(std::string_view text, QuoteStyle style) {
  std::string out(style.open);
  std::size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    const std::size_t utf8 = style.asciiOnly ? 1 : Utf8Length(text.substr(i));
    // A character is shown whole or not at all.
    const std::size_t n = std::max<std::size_t>(1, utf8);
    if (i + n > style.maxBytes) break;
    if (c < 0x80) {
      const bool plain = c >= 0x20 && c != 0x7F && (!style.asciiOnly || (c != '"' && c != '\\'));
      if (plain)
        out += static_cast<char>(c);
      else if (c == '\r' && style.namedCarriageReturn)
        out += "\\r";
      else
        AppendEscaped(out, c);
    } else if (style.asciiOnly || utf8 == 0 || (c == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0)) {
      // Outside ASCII when only ASCII is shown; a byte that is not UTF-8; and the C1
      // controls (U+0080 to U+009F), which a terminal may take as commands.
      for (std::size_t k = 0; k < n; ++k) AppendEscaped(out, static_cast<unsigned char>(text[i + k]));
    } else {
      out.append(text.substr(i, n));
    }
    i += n;
  }
  if (i < text.size()) out += "...";
  out += style.close;
  return out;
}

}  // namespace numira
