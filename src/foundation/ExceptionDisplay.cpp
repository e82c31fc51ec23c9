// ExceptionDisplay.cpp - not written yet.
