#pragma once
// Where the user's data and settings live (the XDG base directories) and the local time stamp
// the shell services write.
#include <string>

namespace shell {

// $XDG_DATA_HOME, else $HOME/.local/share.
std::string DataHomeDir();
// $XDG_CONFIG_HOME, else $HOME/.config.
std::string ConfigHomeDir();
// The current local time (the program's clock) as "yyyy-mm-ddThh:nn:ss".
std::string IsoLocalNow();
// "%"-escapes the bytes of a path for a URI or a .trashinfo ("/" and unreserved bytes stay).
std::string UriEscapePath(const std::string& path);

}  // namespace shell
