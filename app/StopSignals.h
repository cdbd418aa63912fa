#pragma once

/// SIGINT and SIGTERM only set a flag: the engine sees it at its next block
/// of rows, the batch after the file in hand. A write in progress is never
/// cut short, so no output is half-written and no temporary is left.
void InstallStopSignals();

/// True once SIGINT or SIGTERM has arrived.
bool StopRequested();
