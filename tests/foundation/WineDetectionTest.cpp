// WineDetectionTest.cpp - not written yet.
