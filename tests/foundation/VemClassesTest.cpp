// VemClassesTest.cpp - not written yet.
