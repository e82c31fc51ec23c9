// VemClasses.cpp - not written yet.
