#include "standin/derived_token.h"

#include <random>

namespace fotolun::standin {

std::string DerivedToken(std::uint64_t seed, std::initializer_list<std::string_view> parts, int length,
                         std::string_view alphabet) {
  std::uint64_t hash = 1469598103934665603ull ^ seed;
  for (std::string_view part : parts) {
    for (const char c : part) {
      hash ^= static_cast<unsigned char>(c);
      hash *= 1099511628211ull;
    }
    hash ^= 0xFF;  // keeps ("ab", "c") apart from ("a", "bc")
    hash *= 1099511628211ull;
  }
  std::mt19937_64 engine(hash);
  std::string token;
  for (int i = 0; i < length; ++i) token += alphabet[engine() % alphabet.size()];
  return token;
}

}  // namespace fotolun::standin
