// VemLXVerUtils.cpp - not written yet.
