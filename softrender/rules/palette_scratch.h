// The palette scratch: the one table through which every kernel reads a paletted source's
// palette. The palette is copied in before the kernel's loop runs, 256 entries whatever its
// count, so that every index reads a defined colour. Not re-entrant: the kernels share the
// table, and a kernel's loop reads it until the kernel returns.
#pragma once

#include "softrender/records/memimg.h"
#include "softrender/rules/pixel_context.h"

// For a paletted source, copies its palette into the scratch table and points the context's
// palette at it: palette32 for a 32-bit source (4-byte entries), palette16 for a 16-bit one
// (2-byte entries). At most 256 entries are copied and the rest are zero, so an index without
// an entry (or every index, when the source has no palette) reads colour 0. A direct source
// leaves the scratch and the context as they are.
void UsePaletteScratch(const MEMIMG& src, PixelContext* context);
