// TextEncoding.cpp - not written yet.
