// EmailAddress.cpp - not written yet.
