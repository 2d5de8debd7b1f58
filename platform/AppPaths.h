#pragma once

#include <string>

namespace velmora {

// Where the program keeps its files. A portable copy (its folder writable and
// not part of an installed prefix) keeps them beside the executable; an
// installed one keeps them in the user's base folders:
//   config.xml       $XDG_CONFIG_HOME/velmora/config.xml, on the first start
//                    copied from <prefix>/share/velmora/config.xml
//   log/velmora.log  $XDG_STATE_HOME/velmora/log/velmora.log
//   ports_list.txt   $XDG_DATA_HOME/velmora/ports_list.txt, first copied from
//                    <prefix>/share/velmora/ports_list.txt
enum class AppPathsMode
{
    Portable,
    Installed
};

struct AppPaths
{
    AppPathsMode mode = AppPathsMode::Portable;
    std::string config;    // config.xml
    std::string log;       // log/velmora.log
    std::string catalogue; // ports_list.txt
    // The catalogue shipped with an installed program; empty when portable.
    std::string shippedCatalogue;
    // The default config.xml shipped with an installed program (no entries,
    // autostart off, monitor on); empty when portable.
    std::string shippedConfig;
};

// What the choice depends on; AppPathsFor gathers it from the running system.
struct AppPathsFacts
{
    std::string programDir;          // ends in '/'
    bool programDirWritable = false; // this user may create files there
    std::string packageDataDir;      // <prefix>/share/velmora/ when it exists, else empty
    std::string configHome;          // the base folders, without the trailing '/'
    std::string stateHome;
    std::string dataHome;
};

// The one decision: installed when the executable sits in a prefix that
// carries the program's shared data, or when its folder is not writable;
// portable otherwise. An installed program whose base folders are unknown
// (no home folder at all) falls back to the program folder.
AppPaths ChooseAppPaths(const AppPathsFacts& facts);

// The files of the program whose executable lives in `programDir` (ending in
// '/'), from the running system's facts. Every path the program reads or
// writes comes from here.
AppPaths AppPathsFor(const std::string& programDir);

// <prefix>/share/velmora/ for an executable folder <prefix>/bin/.
std::string PackageDataDirFor(const std::string& programDir);

// Makes the folders of an installed program's files (mode 0700) and copies the
// shipped catalogue when the user has none yet, and the shipped config.xml
// when the config folder itself is new (the first start); an existing file is
// never replaced. Portable paths need nothing. False with a reason on failure.
bool PrepareAppPaths(const AppPaths& paths, std::string* reason = nullptr);

} // namespace velmora
