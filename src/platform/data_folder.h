#pragma once
// Where the installation data lives, with its trailing '/': the environment
// variable EMBERLRN_DATA_DIR when set, else the installed data folder when
// this program runs from its installed place, else the build tree's folder.

#include <string>

namespace emberlrn {

std::string InstallFolder();

}  // namespace emberlrn
