// The 4 x 4 single-precision matrix of the Direct3D transforms and the 3-float vector the
// camera builders take. Matrices follow the Direct3D layout: a point is a row vector
// multiplied on the left (p' = p x M), so the translation sits in the fourth row.
#pragma once
#include <cstdint>

struct Matrix4 {
    float m[4][4];  // m[row][column]
};

struct Vector3 {
    float x, y, z;
};

// Makes the identity matrix. Returns 0.
int SetIdentityMatrix(Matrix4* out);

// out = a x b: out[i][j] = sum over k of a[i][k] * b[k][j], each sum accumulated in double
// precision and stored as a float. out may be the same storage as a or b: both inputs are read
// before anything is written. Returns 0.
int MultiplyMatrix(Matrix4* out, const Matrix4* a, const Matrix4* b);
