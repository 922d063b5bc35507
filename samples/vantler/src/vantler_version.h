/* Version of the Vantler sample product, shared by every binary's version resource
   and by the runtime DLL's version export. */
#ifndef VANTLER_VERSION_H
#define VANTLER_VERSION_H

#define VANTLER_VERSION_MAJOR 2
#define VANTLER_VERSION_MINOR 1
#define VANTLER_VERSION_PATCH 0
#define VANTLER_VERSION_BUILD 36

#define VANTLER_VERSION_BIN 2, 1, 0, 36
#define VANTLER_VERSION_STR "2.1.0.36"

#define VANTLER_COMPANY "Vantler Software"
#define VANTLER_COPYRIGHT "Copyright (C) 2026 Vantler Software"
#define VANTLER_PRODUCT "Vantler"

#endif
