#include "host/recording_files.h"

#include <algorithm>

namespace veltas::host {

std::unique_ptr<TInputFile> TRecordingFiles::OpenRead(const std::string& name, std::string& reason) {
  std::unique_ptr<TInputFile> file = Inner.OpenRead(name, reason);
  if (file && std::find(Names.begin(), Names.end(), name) == Names.end()) Names.push_back(name);
  return file;
}

std::string EscapeForMake(const std::string& name) {
  std::string out;
  for (std::size_t i = 0; i < name.size(); ++i) {
    char c = name[i];
    switch (c) {
      case ' ':
      case '\t':
        // make reads 2N+1 backslashes before a blank as N backslashes and a
        // blank, so the backslashes already written in front are doubled.
        for (std::size_t j = i; j > 0 && name[j - 1] == '\\'; --j) out += '\\';
        out += '\\';
        break;
      case '#': out += '\\'; break;
      case '$': out += '$'; break;
      default: break;
    }
    out += c;
  }
  return out;
}

std::string MakeDependencyRule(const std::vector<std::string>& targets, const std::vector<std::string>& inputs) {
  std::string rule;
  for (std::size_t i = 0; i < targets.size(); ++i) {
    if (i) rule += ' ';
    rule += EscapeForMake(targets[i]);
  }
  rule += ':';
  for (const std::string& input : inputs) {
    rule += ' ';
    rule += EscapeForMake(input);
  }
  rule += '\n';
  for (std::size_t i = 1; i < inputs.size(); ++i) {
    rule += EscapeForMake(inputs[i]);
    rule += ":\n";
  }
  return rule;
}


}  // namespace veltas::host
