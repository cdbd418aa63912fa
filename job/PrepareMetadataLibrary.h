#pragma once

/// Initialises the metadata library's XMP parser with a lock, so that
/// metadata can be read on one thread while it is written on another. Must
/// come before the library's first use: a parser it initialised itself has
/// no lock, and a later call cannot add one. Safe to call more than once.
void PrepareMetadataLibrary();
