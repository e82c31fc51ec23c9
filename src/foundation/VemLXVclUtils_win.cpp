// VemLXVclUtils_win.cpp - not written yet.
