// EmptyParam.cpp - not written yet.
