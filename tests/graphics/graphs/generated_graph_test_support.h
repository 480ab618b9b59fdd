// A graph made in a test from a generated picture: its pixel (x, y) is colour(x, y)
// (0x00RRGGBB), opaque; a texture graph while Direct3D draws, unless want3D is 0.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>

#include "softrender/records/color_format.h"
#include "graphics/codecs/graph_image.h"
#include "graphics/graph_load/graph_load.h"

template <class Colour>
HandleValue MakeGeneratedGraph(int32_t width, int32_t height, Colour colour, int want3D = 1) {
    GraphImage image{};
    EXPECT_EQ(InitGraphImageArgb32(width, height, &image), 0);
    BuildColorFormat(&image.colorFormat, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t c = colour(x, y);
            SetGraphImagePixel(&image, x, y, (c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF, 255);
        }
    }
    const HandleValue graph = CreateGraphFromGraphImage(&image, nullptr, want3D);
    FreeGraphImage(&image);
    EXPECT_GE(graph, 0);
    return graph;
}
