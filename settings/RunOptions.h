#pragma once
// What the headless programs (lumora-rec, lumora-play) share on their command
// lines: the walk over the arguments ("--name value", "--name=value", flags),
// the settings options --ini FILE and --set KEY=VALUE, and the settings and log
// a run starts with.

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "settings/Settings.h"

namespace lumora {

// Receives each argument: an option's name with its value (empty for a flag),
// or a plain argument with an empty name. False (and an error) refuses it.
using ArgumentTaker =
    std::function<bool(const std::string& name, const std::string& value, std::string& error)>;

// Walks argv[1 ...]. An argument that starts with "-" is an option; when
// takesValue(name), its value follows "=" in the same argument or is the next
// one. False with a one-line error for a missing value, a flag given a value
// ("--fast=1" is an unknown option), or when take refuses.
bool WalkArguments(int argc, char** argv, const std::function<bool(const std::string&)>& takesValue,
                   const ArgumentTaker& take, std::string& error);

struct SettingsOptions {
  std::string iniFile;                                    // --ini: this file is the store
  std::vector<std::pair<std::string, std::string>> sets;  // --set KEY=VALUE, in order
};

// "--ini" and "--set" take a value and belong here.
bool IsSettingsOption(const std::string& name);
// Takes the value of --ini or --set; false and error when --set is not KEY=VALUE.
bool TakeSettingsOption(SettingsOptions& options, const std::string& name, const std::string& value,
                        std::string& error);

// The settings of the run: the store the window would use (or --ini), with
// every --set applied. False and a reason when an option is refused.
bool PrepareSettings(const SettingsOptions& options, Settings& settings, std::string& error);

// The log as the window configures it, with its start-up purge of old logs.
void PrepareLog(const Settings& settings);

}  // namespace lumora
