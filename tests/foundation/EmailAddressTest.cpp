// EmailAddressTest.cpp - not written yet.
