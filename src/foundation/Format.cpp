// Format.cpp - not written yet.
