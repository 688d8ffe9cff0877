#include "TextFill.h"

namespace numira {

std::string Fill(std::string_view format, std::initializer_list<std::string_view> values) {
  std::string out;
  out.reserve(format.size());
  for (std::size_t i = 0; i < format.size(); ++i) {
    const char next = i + 1 < format.size() ? format[i + 1] : '\0';
    const std::size_t k = next >= '1' && next <= '9' ? static_cast<std::size_t>(next - '1') : values.size();
    if (format[i] == '%' && k < values.size()) {
      out += values.begin()[k];
      ++i;
    } else {
      out += format[i];
    }
  }
  return out;
}

std::string TwoDigits(int n) {
  std::string digits = std::to_string(n);
  if (n >= 0 && n < 10) digits.insert(digits.begin(), '0');
  return digits;
}

std::string Grouped(std::int64_t n) {
  const std::string digits = std::to_string(n);
  const std::size_t sign = n < 0 ? 1 : 0;
  std::string out(digits, 0, sign);
  for (std::size_t i = sign; i < digits.size(); ++i) {
    if (i > sign && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

}  // namespace numira
