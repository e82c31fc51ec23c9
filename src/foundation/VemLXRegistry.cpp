// VemLXRegistry.cpp - not written yet.
