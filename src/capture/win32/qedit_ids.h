#pragma once
// The qedit classes mingw-w64's headers do not declare; libstrmiids defines them.
#include <windows.h>

extern "C" {
extern const CLSID CLSID_SampleGrabber;
extern const CLSID CLSID_NullRenderer;
}
