// Start-up and shut-down of graph management: the graphics state block, the draw state's
// defaults, Direct3D for graphs, the first draw target and font management.
#pragma once

// Does nothing while graph management is up.
int InitGraphSystem();
// Deletes every graph and font; does nothing unless graph management is up.
int TermGraphSystem();
