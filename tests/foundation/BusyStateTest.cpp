// BusyStateTest.cpp - not written yet.
