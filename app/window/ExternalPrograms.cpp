#include "app/window/ExternalPrograms.h"

#include <unistd.h>

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>
#include <utility>

#include "settings/Settings.h"
#include "settings/UserStore.h"
#include "support/FileSystem.h"
#include "support/TimeText.h"

namespace lumora {

namespace {

// The desktop's own mixer stands where the system's volume control stood.
constexpr const char* kDesktopMixer = "pavucontrol";

std::string Quoted(const std::string& text) {
  return text.find(' ') == std::string::npos ? text : "\"" + text + "\"";
}

int64_t StartDetached(const std::string& commandLine) {
  QStringList words = QProcess::splitCommand(QString::fromStdString(commandLine));
  if (words.isEmpty()) return 0;
  const QString program = words.takeFirst();
  qint64 pid = 0;
  return QProcess::startDetached(program, words, QString(), &pid) ? pid : 0;
}

ProgramStarter& Starter() {
  static ProgramStarter starter = StartDetached;
  return starter;
}

}  // namespace

std::string ProgramCommandLine(const std::string& program, const std::string& argument,
                               const std::string& extra) {
  std::string line = Quoted(program);
  if (!argument.empty()) line += " " + Quoted(argument);
  if (!extra.empty()) line += " " + extra;
  return line;
}

void SetProgramStarter(ProgramStarter starter) { Starter() = starter ? std::move(starter) : StartDetached; }

int64_t RunProgram(const std::string& program, const std::string& argument, int32_t /*windowStyle*/,
                   const std::string& extra) {
  return Starter()(ProgramCommandLine(program, argument, extra));
}

std::string ResolveRegApp(const Settings& settings) {
  const std::string configured = settings.ReadText("RegApp");
  if (FileExists(configured)) return configured;
  const std::string beside = settings.appFolder() + "stowit";
  return FileExists(beside) ? beside : std::string();
}

void LaunchMixer(const Settings& settings) {
  std::string mixer = settings.ReadText("MixerApp");
  if (!FileExists(mixer)) {
    const std::string beside = settings.appFolder() + "mixer";
    const std::string system = SystemFolder() + kDesktopMixer;
    mixer = FileExists(beside) ? beside : FileExists(system) ? system : kDesktopMixer;
  }
  RunProgram(mixer, "", 1, "");
}

int32_t OpenDocument(const std::string& path) {
  QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
  return 1;
}

std::string ComputerNameText() {
  static std::string name;
  if (name.empty()) {
    char buffer[256] = {};
    if (gethostname(buffer, sizeof buffer - 1) == 0) name = buffer;
  }
  return name;
}

std::string VersionInfoText(int32_t major, int32_t minor, int32_t revision, const std::string& programFile) {
  const std::string lines[] = {
      std::string(kMakerName) + " " + kProgramTitle,
      "",
      "version: " + std::to_string(major) + "." + ZeroPad(minor, 2) + "." + ZeroPad(revision, 4),
      FileDateText(programFile, 2, 3, 1, 0) + "更新版",
      "",
      "computer name: " + ComputerNameText(),
  };
  std::string text;
  for (const std::string& line : lines) text += (text.empty() ? "" : "\n") + line;
  return text;
}

}  // namespace lumora
