// What the engine and the user interface share: the engine callback with its
// codes and error kinds, and the program's own failure codes that engine
// operations leave in the thread's last-error value.
#pragma once

#include <string>

#include "framework/wintypes.h"

// The engine's one way to the user interface. Arguments that carry a name are
// pointers to a std::string owned by the engine, valid only during the call;
// they are pointer-sized so that the same code runs as 32- and 64-bit.
typedef int (*SetupCallback)(int code, INT_PTR param1, INT_PTR param2);

// A name argument: the address of the engine's string.
inline INT_PTR StringArg(const std::string& str) { return reinterpret_cast<INT_PTR>(&str); }

// Callback codes.
enum {
    SETUPCB_ERROR = 0,       // param1: error kind, param2: by kind
    SETUPCB_PROGRESS = 1,    // param1: percent done 0..100
    SETUPCB_STATUSTEXT = 2,  // param1: const std::string* to show
    SETUPCB_READONLY = 4,    // param1: const std::string* file name; answers 1 overwrite, 2 keep, 3 quit
    SETUPCB_INSERTDISK = 5,  // param1: zero-based disk index (low 16 bits), param2: drive letter
};

// Error kinds of SETUPCB_ERROR.
enum {
    SETUPERR_GENERAL = 0,      // param2: 0
    SETUPERR_FILEINUSE = 5,    // param2: const std::string* file name
    SETUPERR_DISKFULL = 6,     // param2: drive letter
    SETUPERR_CREATEDIR = 7,    // param2: const std::string* directory name
    SETUPERR_DLLREGISTER = 8,  // param2: 0
};

// Failure codes of the program's own, beside the platform's error codes.
constexpr DWORD SETUP_E_CANCELLED = 0xE0000001;
constexpr DWORD SETUP_E_NODRIVE = 0xE0000003;
constexpr DWORD SETUP_E_NOINFO = 0xE0000004;
constexpr DWORD SETUP_E_BADINFO = 0xE0000005;
constexpr DWORD SETUP_E_INIT = 0xE0000006;
constexpr DWORD SETUP_E_VERSION = 0xE0000007;
constexpr DWORD SETUP_E_FILESTATUS = 0xE0000008;
constexpr DWORD SETUP_E_COPY = 0xE0000009;
// A file of the medium is not what its checksum says (or the checksum file
// itself is damaged); the engine names the file and its disks.
constexpr DWORD SETUP_E_DAMAGED = 0xE000000A;
constexpr DWORD SETUP_E_DISKSPACE = 0xA0000001;  // the destination page's space check only
