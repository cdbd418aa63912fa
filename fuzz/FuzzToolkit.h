#pragma once

/// Starts the toolkit's base library once for a fuzz target and silences its
/// log, so that the handlers' messages neither flood the fuzzer's output nor
/// slow it down. The handlers are still called with verbose false.
void StartToolkitForFuzzing();
