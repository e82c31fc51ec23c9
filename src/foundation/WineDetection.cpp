// WineDetection.cpp - not written yet.
