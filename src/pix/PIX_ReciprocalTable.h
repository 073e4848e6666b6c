#pragma once

#include <array>
#include <cstdint>

// Entry 0 is 0, entry i is floor(65536 / i) - 1: turns the HSV conversion's
// divisions into multiplications.
extern const std::array<uint16_t, 256> PIX_ReciprocalTable;
