// SPDX-License-Identifier: GPL-3.0-or-later
// Properties of the number text that must hold for every input, checked by a fuzzer and
// by a property test that feeds it a fixed stream of random inputs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace numberfuzz {

// Checks one input. Returns an empty string when every property holds, or a description
// of the first one that fails.
std::string check(const std::uint8_t* data, std::size_t size);

}  // namespace numberfuzz
