#ifndef KORUNEX_HOST_MODULE_RESOURCES_H
#define KORUNEX_HOST_MODULE_RESOURCES_H
// The module's own resource ids, for the resource compiler
// (resources/korunex64.rc) and for C++.

#define IDI_KORUNEX 100  // the icon of the saver window's class

#endif  // KORUNEX_HOST_MODULE_RESOURCES_H
