// ExceptionDisplayTest.cpp - not written yet.
