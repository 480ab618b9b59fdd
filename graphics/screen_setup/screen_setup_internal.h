// Shared between the screen setup's files: the DirectDraw object and the window's clipper.
#pragma once

namespace plat {
class DirectDraw;
class DrawClipper;
}  // namespace plat

// AcquireDirectDraw: a new, initialised object in *out. 0; -1 after a log line.
int AcquireDirectDraw(plat::DirectDraw** out);
int CreateWindowClipper(plat::DrawClipper** out);
int RecreateClipper();
int ReleaseClipper();
