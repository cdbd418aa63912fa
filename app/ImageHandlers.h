#pragma once

/// Fills the toolkit's image-handler registry, after its own BMP handler.
/// Loading asks the handlers' probes in this order and saving picks the first
/// handler whose extension matches, so the order is behaviour.
void RegisterImageHandlers();
