#pragma once
// The pieces every shown or printed text is made of: a text with its placeholders filled
// in, a number in two digits, a count with its thousands marked. (A value quoted in a
// message: Quoted, Encoding.h.)
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace numira {

// The format with %1 .. %9 replaced by the values in order, in one pass: a value is never
// read as a format, so a "%2" inside the first value stays as it is. A placeholder without
// a value, and any other "%", stay as written.
std::string Fill(std::string_view format, std::initializer_list<std::string_view> values);

// A number from 0 to 99 in two digits: "07", "42". Negative or larger numbers as they are.
std::string TwoDigits(int n);

// A count with a comma every three digits from the right: "6,094,417", "999", "-1,000".
std::string Grouped(std::int64_t n);

}  // namespace numira
