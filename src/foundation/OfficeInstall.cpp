// OfficeInstall.cpp - not written yet.
