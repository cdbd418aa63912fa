#pragma once

/// Starts the toolkit's base library once for a fuzz target and silences its
/// log, so that the handlers' messages neither flood the fuzzer's output nor
/// slow it down. The handlers are still called with verbose false.
void StartToolkitForFuzzing();

/// Inputs declaring more pixels than this are passed over by the image
/// targets: a few hundred bytes can declare megapixels, and their decoding
/// (a tenth of a second and up under the sanitizers) would take over the
/// run. Large pictures have tests of their own.
constexpr unsigned long long kMaxFuzzedPixels = 1ull << 18;
