// veltas-cli --cod: collects the program words of pass 2 with the file and
// line of each, and turns them, the symbol table and the files the run read
// into the .COD file that gpsim debugs with.
#pragma once

#include <string>
#include <vector>

namespace veltas::cod {

// Forgets what an earlier run collected and watches the next pass 2.
void StartCollecting();
// Stops watching; what was collected stays for MakeCodFile.
void StopCollecting();

struct TCodRequest {
  std::string CodName;                 // where the file goes: names are written relative to its directory
  std::string Processor;               // as --processor gave it; empty: from a symbol such as __16F877A
  std::vector<std::string> FilesRead;  // every source file the run read, as opened, first opened first
  std::string Version;
};

struct TCodOutcome {
  std::string Bytes;               // the file; empty when it is refused
  std::string Error;               // why it is refused (UTF-8)
  std::vector<std::string> Notes;  // what it leaves out (UTF-8)
};

// Builds the file from a successful run. Reads the symbol table, the core
// selected at the end of pass 2 and the file system (for the names).
TCodOutcome MakeCodFile(const TCodRequest& request);

}  // namespace veltas::cod
