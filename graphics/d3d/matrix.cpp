#include "graphics/d3d/matrix.h"

int SetIdentityMatrix(Matrix4* out) {
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            out->m[row][column] = row == column ? 1.0f : 0.0f;
        }
    }
    return 0;
}

int MultiplyMatrix(Matrix4* out, const Matrix4* a, const Matrix4* b) {
    // Copies first, so that out may alias either input.
    const Matrix4 left = *a;
    const Matrix4 right = *b;
    Matrix4 product;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) {
                sum += static_cast<double>(left.m[i][k]) * static_cast<double>(right.m[k][j]);
            }
            product.m[i][j] = static_cast<float>(sum);
        }
    }
    *out = product;
    return 0;
}
