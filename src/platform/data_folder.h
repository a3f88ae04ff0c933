#pragma once
// Where the installation data lives, with its trailing '/': the environment
// variable EMBERLRN_DATA_DIR when set, else <prefix>/share/emberlrn when this
// program runs installed as <prefix>/bin/emberlrn, else the build tree's folder.

#include <string>

namespace emberlrn {

std::string InstallFolder();

}  // namespace emberlrn
