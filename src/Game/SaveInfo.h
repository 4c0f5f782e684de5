#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The "info" entry of a save game, the summary the menu shows without parsing the game's
// XML: the play time in milliseconds as a 10-byte extended-precision number (sign and
// 15-bit exponent, then the 64-bit mantissa with its explicit integer bit, most
// significant byte first), then the part name's length (unsigned 32-bit little-endian) and
// its bytes.
namespace SaveInfo {

constexpr std::size_t kHeaderSize = 14;

// The 10-byte extended-precision form of value; 0 is ten zero bytes.
std::array<std::uint8_t, 10> EncodeExtended(double value);
// The value of a 10-byte extended-precision number; false for an infinity or NaN.
bool DecodeExtended(const std::uint8_t* bytes, double& value);

std::vector<std::uint8_t> Encode(float time, const std::string& part);
// False, with time and part untouched, when the bytes are too short, the name's length
// runs past their end, or the time is no finite float or is negative.
bool Decode(const std::vector<std::uint8_t>& bytes, float& time, std::string& part);

} // namespace SaveInfo
