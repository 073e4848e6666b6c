#include "pix/PIX_ReciprocalTable.h"

#include <cstddef>

namespace {

constexpr std::array<uint16_t, 256> MakeReciprocals()
{
    std::array<uint16_t, 256> table{};
    for (int i = 1; i < 256; ++i)
        table[static_cast<size_t>(i)] = static_cast<uint16_t>(65536 / i - 1);
    return table;
}

}   // namespace

const std::array<uint16_t, 256> PIX_ReciprocalTable = MakeReciprocals();
