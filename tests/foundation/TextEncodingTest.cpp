// TextEncodingTest.cpp - not written yet.
