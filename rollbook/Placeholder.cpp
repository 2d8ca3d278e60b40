// Replaced by the BIFF8 sources.
