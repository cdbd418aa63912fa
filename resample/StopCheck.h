#pragma once

#include <functional>

/// Asked by the engine between blocks of rows, on the thread that called it;
/// true ends the work there. The window's check lets pending events run and
/// asks the user; a command line checks for a signal. The engine itself
/// never asks anybody.
using StopCheck = std::function<bool()>;
