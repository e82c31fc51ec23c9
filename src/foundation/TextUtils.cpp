// TextUtils.cpp - not written yet.
