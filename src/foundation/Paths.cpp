// Paths.cpp - not written yet.
