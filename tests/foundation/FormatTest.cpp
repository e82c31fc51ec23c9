// FormatTest.cpp - not written yet.
