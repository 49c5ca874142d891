#pragma once
// How every plugin DLL names its entry points: C linkage, the default (cdecl)
// calling convention, exported undecorated.
#define PLUGIN_EXPORT extern "C" __declspec(dllexport)
