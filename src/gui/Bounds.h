#pragma once

#include <cstdint>

// An integer rectangle; right and bottom are exclusive. All zero means empty.
struct Bounds {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    Bounds() = default;
    Bounds(int32_t l, int32_t t, int32_t r, int32_t b) : left(l), top(t), right(r), bottom(b) {}

    bool IsEmpty() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }

    bool Contains(int32_t x, int32_t y) const { return left <= x && x < right && top <= y && y < bottom; }

    // The right and bottom edges count as touching: a rect ending where the
    // other starts still intersects it (the clipped area is then empty).
    bool Intersects(const Bounds& o) const
    {
        if (IsEmpty() || o.IsEmpty())
            return false;
        return right >= o.left && left < o.right && bottom >= o.top && top < o.bottom;
    }

    Bounds Intersection(const Bounds& o) const
    {
        return Bounds(Larger(left, o.left), Larger(top, o.top), Smaller(right, o.right), Smaller(bottom, o.bottom));
    }

    // The smallest rectangle holding both; an empty rect adds nothing.
    Bounds Union(const Bounds& o) const
    {
        if (o.IsEmpty())
            return *this;
        if (IsEmpty())
            return o;
        return Bounds(Smaller(left, o.left), Smaller(top, o.top), Larger(right, o.right), Larger(bottom, o.bottom));
    }

    bool operator==(const Bounds& o) const
    {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator!=(const Bounds& o) const { return !(*this == o); }

private:
    // Not std::min/max: <windows.h> may have defined them as macros.
    static int32_t Smaller(int32_t a, int32_t b) { return a < b ? a : b; }
    static int32_t Larger(int32_t a, int32_t b) { return a > b ? a : b; }
};
