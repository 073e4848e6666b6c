#pragma once

#include <cstdint>

// Expected results of the combine rules, one pixel at a time, written straight
// from the rule table: channel arrays, a division wherever the rule divides.
uint32_t RefComposite(uint32_t d, uint32_t s, float weight, int32_t mode);
uint32_t RefFill(uint32_t d, uint32_t colour, float weight, int32_t mode);
