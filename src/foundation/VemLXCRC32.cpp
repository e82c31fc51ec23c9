// VemLXCRC32.cpp - not written yet.
