// SHA-256 over bytes that arrive in pieces: what a problem set is known by in the record,
// computed while the drill reads the file so that nothing reads it a second time.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace rekendo {

class Sha256 {
 public:
  void Add(std::string_view bytes);
  // The digest of everything added so far, as 64 lower-case hex digits; more may be added
  // after.
  std::string HexDigest() const;

 private:
  void Compress(const unsigned char* block);

  std::array<std::uint32_t, 8> state_{0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                      0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
  std::array<unsigned char, 64> pending_{};
  std::size_t pending_size_ = 0;
  std::uint64_t total_bytes_ = 0;
};

}  // namespace rekendo
