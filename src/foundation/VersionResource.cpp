// VersionResource.cpp - not written yet.
