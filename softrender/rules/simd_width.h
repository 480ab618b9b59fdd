// The register width of the kernels' pixel steps: AVX2 (eight 32-bit pixels per step) when the
// processor has it, else SSE2 (four). Decided once at start-up from the processor; a test may
// turn the wider steps off to run the SSE2 ones.
#pragma once

// Whether the kernels run their rows through the AVX2 steps.
bool WideStepsActive();

// Turns the AVX2 steps on or off; on takes effect only when the processor has AVX2. Returns
// whether they were active before.
bool SetWideStepsActive(bool on);
