// Registry names of the Vantler ActiveX control (Vantler.ocx).
#pragma once

#define VANTLER_CLSID "{B110C1F3-A262-46BD-A08D-52FFA8A08184}"
#define VANTLER_PROGID "Vantler.Control"
#define VANTLER_CLASS_NAME "Vantler Control"
