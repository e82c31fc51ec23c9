// BusyState.cpp - not written yet.
