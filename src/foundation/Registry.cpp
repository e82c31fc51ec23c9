// Registry.cpp - not written yet.
