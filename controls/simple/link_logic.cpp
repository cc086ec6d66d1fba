#include "controls/simple/link_logic.h"

namespace ts::controls {

std::string LinkTarget(int32_t kind, const std::string& mailAddress, const std::string& webAddress) {
  if (kind == kWebLink) return webAddress;
  if (mailAddress.empty()) return std::string();
  return "mailto:" + mailAddress;
}

std::string LinkDisplayText(const std::string& caption, const std::string& target) {
  return caption.empty() ? target : caption;
}

std::string BrowserCommandLine(const std::string& registeredCommand, const std::string& target) {
  std::string command = registeredCommand;
  if (size_t quoted = command.find("\"%1\""); quoted != std::string::npos) {
    command.resize(quoted);
  } else if (size_t bare = command.find("%1"); bare != std::string::npos) {
    command.resize(bare);
  }
  while (!command.empty() && (command.back() == ' ' || command.back() == '\t')) command.pop_back();
  if (command.empty()) return std::string();
  bool blanks = target.find_first_of(" \t") != std::string::npos;
  return command + ' ' + (blanks ? '"' + target + '"' : target);
}

}  // namespace ts::controls
