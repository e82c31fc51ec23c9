// BusyStateWinTest.cpp - not written yet.
