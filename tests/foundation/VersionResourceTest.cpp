// VersionResourceTest.cpp - not written yet.
