#pragma once
// Values the stand-in hands out (session keys, tokens, album passes) made from the seed and what
// they belong to, so that a value can be checked later by making it again instead of remembering it.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace fotolun::standin {

std::string DerivedToken(
    std::uint64_t seed, std::initializer_list<std::string_view> parts, int length,
    std::string_view alphabet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");

}  // namespace fotolun::standin
