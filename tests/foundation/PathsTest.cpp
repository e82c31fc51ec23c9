// PathsTest.cpp - not written yet.
