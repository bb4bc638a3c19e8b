#pragma once
// The programs the window starts: the application that receives the last take,
// the mixer, the help document, and the texts of the version box.

#include <cstdint>
#include <functional>
#include <string>

namespace lumora {

class Settings;

// program (quoted when it holds a space), then a space and argument (quoted
// likewise) when there is one, then a space and extra when there is one.
std::string ProgramCommandLine(const std::string& program, const std::string& argument,
                               const std::string& extra);

// Starts a command line as a detached process; the process id, or 0 when it did
// not start. Tests replace it to see what would have started.
using ProgramStarter = std::function<int64_t(const std::string& commandLine)>;
void SetProgramStarter(ProgramStarter starter);

// Starts ProgramCommandLine(program, argument, extra). windowStyle is kept for
// callers that name it; every program opens normally here.
int64_t RunProgram(const std::string& program, const std::string& argument, int32_t windowStyle,
                   const std::string& extra);

// "RegApp" when that file exists, else "stowit" beside the program when it
// exists, else empty text.
std::string ResolveRegApp(const Settings& settings);

// "MixerApp" when that file exists; else "mixer" beside the program; else the
// desktop's mixer from the system folder, else from the search path.
void LaunchMixer(const Settings& settings);

// Opens path with its default application; always 1.
int32_t OpenDocument(const std::string& path);

// The machine's name, asked for once per run (again while it is unknown).
std::string ComputerNameText();

// The text of the version box: maker and title, the version
// "version: M.mm.rrrr", the program file's date followed by "更新版", the
// computer name.
std::string VersionInfoText(int32_t major, int32_t minor, int32_t revision, const std::string& programFile);

}  // namespace lumora
