// VemLXVerUtilsTest.cpp - not written yet.
