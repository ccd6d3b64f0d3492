#pragma once
// Which child of a drop target takes a drop. No Windows headers: a pure rule.

#include <cstddef>
#include <optional>
#include <vector>

struct ChildBounds {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// The first child, in the given order, whose bounds hold the point strictly inside: a point on a
// child's left or top edge (or beyond its right or bottom edge) is not the child's.
constexpr bool StrictlyInside(const ChildBounds& b, int x, int y)
{
    return b.left < x && x < b.left + b.width && b.top < y && y < b.top + b.height;
}

inline std::optional<std::size_t> ChildIndexAt(const std::vector<ChildBounds>& children, int x, int y)
{
    for (std::size_t i = 0; i < children.size(); ++i)
        if (StrictlyInside(children[i], x, y)) return i;
    return std::nullopt;
}
