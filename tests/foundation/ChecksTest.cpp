// ChecksTest.cpp - not written yet.
