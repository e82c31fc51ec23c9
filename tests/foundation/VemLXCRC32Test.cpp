// VemLXCRC32Test.cpp - not written yet.
