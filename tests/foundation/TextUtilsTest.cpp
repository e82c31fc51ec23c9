// TextUtilsTest.cpp - not written yet.
