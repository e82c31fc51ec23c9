// VemLXRegistryTest.cpp - not written yet.
