// What `trovane-setup --help` prints, and its first lines for a command
// line that is wrong. The manual page says the same at more length.
#ifndef TROVANE_TROVANE_SETUP_USAGE_H_
#define TROVANE_TROVANE_SETUP_USAGE_H_

#include <string_view>

namespace trovane {

inline constexpr std::string_view kUsageSynopsis =
    "Usage: trovane-setup [FOLDER]\n"
    "       trovane-setup --help | --version\n";

inline constexpr std::string_view kUsageDetails =
    "\n"
    "Finds the files and folders that the VEK programs need and records where\n"
    "each one lies in the Trovane databank, C:\\Trovane.\n"
    "\n"
    "FOLDER is the run folder, a Linux path or a drive-form path. It holds\n"
    "FileList.txt (the wanted entries), MustExist.txt, Map.txt, Map.bat,\n"
    "Map.err and the logs Trovane.Log and Database_IO.log. Without FOLDER\n"
    "the run folder is the folder of the executable; when that cannot be\n"
    "written, the window asks for a folder and the terminal says to give one.\n"
    "\n"
    "Environment:\n"
    "  VEK_DRIVE_C ... VEK_DRIVE_Z  the folder of a drive letter, an absolute\n"
    "                               Linux path; when any is set, they alone\n"
    "                               map the drives\n"
    "  WINEPREFIX                   else the Wine prefix whose dosdevices map\n"
    "                               the drives (default ~/.wine); Z: is /\n"
    "                               unless mapped otherwise\n"
    "  VEK, TEMP, TMP               the temporary folder, the first one set\n"
    "                               (else the run folder): the disk map, the\n"
    "                               completion signal and the swap files\n"
    "  TROVANE_UI                   window, terminal or quiet\n"
    "  DISPLAY, WAYLAND_DISPLAY     a display: the run shows its window\n"
    "\n"
    "Exit status:\n"
    "  0  the run ended without problems\n"
    "  1  the run ended after the problems message, or something could\n"
    "     not be written\n"
    "  2  the run ended before completion: the window was closed, a signal\n"
    "     came, or the scan batch ended without its completion signal\n"
    "  3  the run could not start (a bad command line or set-up); nothing\n"
    "     was written\n";

}  // namespace trovane

#endif  // TROVANE_TROVANE_SETUP_USAGE_H_
