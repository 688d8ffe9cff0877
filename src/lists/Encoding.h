#pragma once
// Code page 932 (the list files' bytes) and UTF-8 (the window's and the messages' text):
// conversions both ways, the check of code page 932 bytes, repairing and cutting UTF-8,
// and the one way a text is quoted in a one-line message.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace numira {

// Code page 932 bytes to UTF-8. Bytes that are not valid code page 932 become U+FFFD;
// nothing is dropped silently and the result is always valid UTF-8.
std::string Cp932ToUtf8(std::string_view bytes);

// UTF-8 to code page 932; nullopt when the text is not UTF-8 or a character has no code
// page 932 form.
std::optional<std::string> Utf8ToCp932(std::string_view text);

// Whether the bytes are valid code page 932 throughout (a character cut off at the end
// is not).
bool IsCp932(std::string_view bytes);

// Valid UTF-8 passes unchanged; every invalid byte becomes U+FFFD.
std::string SanitizeUtf8(std::string_view bytes);

// The longest prefix of a UTF-8 text that fits in maxBytes without splitting a character.
std::string TruncateUtf8(std::string_view text, std::size_t maxBytes);

// How Quoted shows a text.
struct QuoteStyle {
  bool asciiOnly = true;        // every byte outside printable ASCII, '"' and '\' too, as \xNN
  std::size_t maxBytes = 40;    // shown at most; a longer text is cut and "..." marks the cut
  bool namedCarriageReturn = false;  // a CR as \r rather than \x0D
  std::string_view open = "\"", close = "\"";  // the marks around it ("" for none)
};

// A text as a one-line message (a window's, a terminal's) shows it: between the marks,
// control bytes and DEL as \xNN; with asciiOnly every byte outside printable ASCII too,
// else every byte that is not UTF-8 and the C1 controls, and the cut never splits a
// character. Every value a message shows goes through here.
std::string Quoted(std::string_view text, QuoteStyle style = {});
inline std::string Quoted(std::string_view text, bool asciiOnly) {
  QuoteStyle style;
  style.asciiOnly = asciiOnly;
  return Quoted(text, style);
}

}  // namespace numira
