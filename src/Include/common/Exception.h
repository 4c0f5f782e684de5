#pragma once

#include <exception>

namespace xs {

// A save-game document lacks an item that its record requires (an attribute without a
// default, a compound element, a map entry's key attribute), or has no root element at all.
// It carries no text of its own.
class exception : public std::exception {};

} // namespace xs
