// OfficeInstallTest.cpp - not written yet.
