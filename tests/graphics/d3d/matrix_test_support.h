// Helpers of the matrix tests: matrices written out row by row, the transform of a row-vector
// point through MultiplyMatrix, and a readable comparison.
#pragma once
#include <gtest/gtest.h>

#include <array>
#include <sstream>
#include <string>

#include "graphics/d3d/matrix.h"

using MatrixRows = std::array<std::array<float, 4>, 4>;

inline Matrix4 MakeMatrix(const MatrixRows& rows) {
    Matrix4 out;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) out.m[r][c] = rows[r][c];
    }
    return out;
}

inline Matrix4 TranslationMatrix(float x, float y, float z) {
    return MakeMatrix({{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {x, y, z, 1}}});
}

inline Matrix4 ScaleMatrix(float x, float y, float z) {
    return MakeMatrix({{{x, 0, 0, 0}, {0, y, 0, 0}, {0, 0, z, 0}, {0, 0, 0, 1}}});
}

// Rotation by 90 degrees about z in the row-vector layout: (1, 0, 0) goes to (0, 1, 0).
inline Matrix4 QuarterTurnZ() {
    return MakeMatrix({{{0, 1, 0, 0}, {-1, 0, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}});
}

// p x m for the row vector p, computed by the library's product with p as the first row.
inline std::array<float, 4> TransformPoint(const Matrix4& m, std::array<float, 4> p) {
    Matrix4 row = MakeMatrix({{{p[0], p[1], p[2], p[3]}, {}, {}, {}}});
    MultiplyMatrix(&row, &row, &m);
    return {row.m[0][0], row.m[0][1], row.m[0][2], row.m[0][3]};
}

inline std::string MatrixText(const Matrix4& m) {
    std::ostringstream text;
    for (const auto& row : m.m) {
        text << "(" << row[0] << ", " << row[1] << ", " << row[2] << ", " << row[3] << ")";
    }
    return text.str();
}

// Exact equality of all 16 entries (0.0 and -0.0 count as equal).
inline ::testing::AssertionResult MatricesEqual(const Matrix4& actual, const Matrix4& expected) {
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            if (actual.m[r][c] != expected.m[r][c]) {
                return ::testing::AssertionFailure()
                       << "entry [" << r << "][" << c << "]: got " << MatrixText(actual)
                       << ", expected " << MatrixText(expected);
            }
        }
    }
    return ::testing::AssertionSuccess();
}
