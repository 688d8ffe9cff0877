#include "Gzip.h"

#include <zlib.h>

#include <limits>

#include "History.h"

namespace numira {
namespace {

// A gzip wrapper around the deflate stream (zlib's windowBits + 16).
constexpr int kGzipWindow = 15 + 16;

}  // namespace

std::string Gzip(std::string_view bytes) {
  if (bytes.size() > std::numeric_limits<uInt>::max() / 2) throw PublishError("a file too large to compress");
  z_stream zs{};
  // zlib writes a header with time 0, no name and this system's code: the same for
  // every build of the same bytes. Its default level (6): the best (9) takes three times
  // as long for copies 0.5 % smaller.
  if (deflateInit2(&zs, Z_DEFAULT_COMPRESSION, Z_DEFLATED, kGzipWindow, 9, Z_DEFAULT_STRATEGY) != Z_OK)
    throw PublishError("zlib cannot compress");
  std::string out(deflateBound(&zs, static_cast<uLong>(bytes.size())), '\0');
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
  zs.avail_in = static_cast<uInt>(bytes.size());
  zs.next_out = reinterpret_cast<Bytef*>(out.data());
  zs.avail_out = static_cast<uInt>(out.size());
  const int result = deflate(&zs, Z_FINISH);
  const std::size_t written = zs.total_out;
  deflateEnd(&zs);
  if (result != Z_STREAM_END) throw PublishError("zlib cannot compress");
  out.resize(written);
  return out;
}

std::optional<std::string> Gunzip(std::string_view gz, std::size_t maxBytes) {
  if (gz.size() > std::numeric_limits<uInt>::max()) return std::nullopt;
  z_stream zs{};
  if (inflateInit2(&zs, kGzipWindow) != Z_OK) return std::nullopt;
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(gz.data()));
  zs.avail_in = static_cast<uInt>(gz.size());
  std::string out;
  char buf[1 << 16];
  int result = Z_OK;
  while (result == Z_OK) {
    zs.next_out = reinterpret_cast<Bytef*>(buf);
    zs.avail_out = sizeof buf;
    result = inflate(&zs, Z_NO_FLUSH);
    if (result != Z_OK && result != Z_STREAM_END) break;
    out.append(buf, sizeof buf - zs.avail_out);
    if (out.size() > maxBytes) break;
    if (result == Z_OK && zs.avail_in == 0 && zs.avail_out != 0) break;  // cut short
  }
  const bool whole = result == Z_STREAM_END && zs.avail_in == 0 && out.size() <= maxBytes;
  inflateEnd(&zs);
  if (!whole) return std::nullopt;
  return out;
}

}  // namespace numira
