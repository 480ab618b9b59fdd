// The DirectDraw object that graphics makes its surfaces with. The screen acquires it and
// stores it here; everything that creates, restores or fills surfaces reads it from here, and so
// does the absent screen driver, which answers from it while no screen module runs.
#pragma once

namespace plat {
class DirectDraw;
}

// Null while no DirectDraw object exists.
plat::DirectDraw* GetDirectDrawObject();
// Stores the object (or null); the caller keeps the reference it holds.
void SetDirectDrawObject(plat::DirectDraw* object);
// 1 when an object is stored: the answer of the hasDirectDrawObject hook while no screen
// module provides its own.
int HasStoredDirectDrawObject();
