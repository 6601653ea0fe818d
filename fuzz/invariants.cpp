#include "fuzz/invariants.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace veltas::fuzz {

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kEndRecord = ":00000001FF";
constexpr std::string_view kListingHead = "\r\nRUZ-8 Assembler V2.13 (32bit)\r\n";
constexpr std::string_view kSymbolHead = "\r\nSymbol-Liste:\r\n";
constexpr std::string_view kErrorPrefix = "*** Fehler:          ";
constexpr std::string_view kReportMark = "\r\rFehler: ";
constexpr std::size_t kMaxListingLine = 128;  // CR LF included
// cp1252 texts
constexpr std::string_view kPhaseError = "Phasenfehler. sorry...";
constexpr std::string_view kLabelNotFound = "Marke nicht gefunden";
constexpr std::string_view kWithErrors = "\r .. \xFC" "bersetzt mit Fehlern.";

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;  // lower case is not what the writer writes
}

std::size_t Count(std::string_view text, std::string_view what) {
  std::size_t n = 0;
  for (std::size_t p = text.find(what); p != std::string_view::npos; p = text.find(what, p + 1)) ++n;
  return n;
}

bool EndsWith(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

// Lines of a text whose every line ends with CR LF; false if one does not.
bool SplitLines(std::string_view text, std::vector<std::string_view>& lines) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find(kCrLf, pos);
    if (end == std::string_view::npos) return false;
    lines.push_back(text.substr(pos, end - pos));
    pos = end + kCrLf.size();
  }
  return true;
}

// The line-number field of a listing line: right-aligned decimal in seven
// characters, the first of which may be the include mark "+".
bool LineNumberField(std::string_view field) {
  if (field.size() != 7) return false;
  std::size_t i = 0;
  if (field[0] == '+' || field[0] == ' ') i = 1;
  while (i < field.size() && field[i] == ' ') ++i;
  if (i == field.size()) return false;
  for (; i < field.size(); ++i)
    if (field[i] < '0' || field[i] > '9') return false;
  return true;
}

}  // namespace

void TObservation::Fail(std::string_view what) const {
  std::fprintf(stderr, "\n*** invariant violated: %.*s\n", static_cast<int>(what.size()), what.data());
  std::fprintf(stderr, "outcome %d, failed in pass 2: %d, message \"%s\" at %s:%d:%d\n",
               static_cast<int>(Result.Outcome), Result.FailedInPass2 ? 1 : 0, Result.ErrorMessage.c_str(),
               Result.ErrorFile.c_str(), static_cast<int>(Result.ErrorLine), Result.ErrorColumn);
  std::abort();
}

bool HexFileValid(std::string_view hex, bool complete, std::string& why) {
  std::vector<std::string_view> lines;
  if (!SplitLines(hex, lines)) {
    why = "HEX text does not end with CR LF";
    return false;
  }
  std::uint32_t upper = 0;
  bool endSeen = false;
  for (std::size_t n = 0; n < lines.size(); ++n) {
    std::string_view line = lines[n];
    if (endSeen) {
      why = "record after the end record";
      return false;
    }
    if (line.size() < 11 || line[0] != ':' || line.size() % 2 == 0) {
      why = "malformed record: " + std::string(line);
      return false;
    }
    std::vector<unsigned> bytes;
    for (std::size_t i = 1; i < line.size(); i += 2) {
      int hi = HexValue(line[i]), lo = HexValue(line[i + 1]);
      if (hi < 0 || lo < 0) {
        why = "not upper-case hexadecimal: " + std::string(line);
        return false;
      }
      bytes.push_back(static_cast<unsigned>(hi * 16 + lo));
    }
    unsigned count = bytes[0], sum = 0;
    for (unsigned b : bytes) sum += b;
    if (bytes.size() != count + 5) {
      why = "byte count does not match the record: " + std::string(line);
      return false;
    }
    if (sum % 256 != 0) {
      why = "wrong checksum: " + std::string(line);
      return false;
    }
    unsigned address = bytes[1] << 8 | bytes[2];
    switch (bytes[3]) {
      case 0x00:
        if (count < 1 || count > 16) {
          why = "data record with " + std::to_string(count) + " bytes";
          return false;
        }
        break;
      case 0x01:
        if (line != kEndRecord) {
          why = "bad end record: " + std::string(line);
          return false;
        }
        endSeen = true;
        break;
      case 0x04: {
        std::uint32_t value = static_cast<std::uint32_t>(bytes[4] << 8 | bytes[5]) << 16;
        // Word addresses have 16 bits: byte addresses stay below 0x20100.
        if (count != 2 || address != 0 || value == upper || value > 0x20000) {
          why = "bad extended address record: " + std::string(line);
          return false;
        }
        upper = value;
        // The record is written only when a data record starts behind it.
        bool dataFollows = n + 1 < lines.size() && lines[n + 1].size() > 8 && lines[n + 1].substr(7, 2) == "00";
        if (!dataFollows && complete) {
          why = "extended address record without data";
          return false;
        }
        break;
      }
      default:
        why = "record type " + std::to_string(bytes[3]);
        return false;
    }
  }
  if (complete && !endSeen) {
    why = "successful run without end record";
    return false;
  }
  if (!complete && endSeen) {
    why = "failed run with end record";
    return false;
  }
  return true;
}

bool ListingValid(std::string_view prn, std::string_view errorLine, std::string& why) {
  if (prn.substr(0, kListingHead.size()) != kListingHead) {
    why = "listing head missing";
    return false;
  }
  std::size_t symbols = prn.find(kSymbolHead);
  if (symbols == std::string_view::npos) {
    why = "symbol list missing";
    return false;
  }
  std::string_view lines = prn.substr(kListingHead.size(), symbols + 2 - kListingHead.size());
  std::vector<std::string_view> split;
  if (!SplitLines(lines, split)) {
    why = "listing line without CR LF";
    return false;
  }
  bool summary = false;
  std::size_t errors = 0;
  for (std::size_t n = 0; n < split.size(); ++n) {
    std::string_view line = split[n];
    if (line.size() + kCrLf.size() > kMaxListingLine) {
      why = "listing line of " + std::to_string(line.size() + 2) + " characters: " + std::string(line.substr(0, 60));
      return false;
    }
    if (line.substr(0, 11) == "*** Fehler:") {
      ++errors;
      if (line != errorLine || n + 1 != split.size()) {
        why = "unexpected error line: " + std::string(line);
        return false;
      }
      continue;
    }
    if (line == "RUZ-8 Assembler") summary = true;
    if (summary || line.empty()) continue;
    // A line of pass 2: prefix of 31 characters, then the line number.
    bool prefixOk = line.substr(0, 5) == "CODE " || line.substr(0, 5) == "RAM  " || line.substr(0, 5) == "     ";
    if (!prefixOk || line.size() < 38 || !LineNumberField(line.substr(31, 7)) ||
        (line.size() > 38 && line.substr(38, 2) != "  ")) {
      why = "listing line out of shape: " + std::string(line.substr(0, 60));
      return false;
    }
  }
  if (errors != (errorLine.empty() ? 0u : 1u)) {
    why = "listing has " + std::to_string(errors) + " error lines";
    return false;
  }
  if (errorLine.empty() && (!summary || (!split.empty() && !split.back().empty()))) {
    why = "summary of a successful run missing";
    return false;
  }
  return true;
}

void CheckRun(const TObservation& run) {
  const driver::TRunResult& r = run.Result;
  std::string why;
  bool failed = r.Outcome == driver::TRunOutcome::AssemblyError;
  if (!failed && r.Outcome != driver::TRunOutcome::Success) run.Fail("neither success nor an assembly error");

  std::size_t reports = Count(run.Status, kReportMark);
  if (!failed) {
    if (!r.ErrorMessage.empty() || r.FailedInPass2) run.Fail("success with an error");
    if (reports != 0) run.Fail("success with an error report");
    if (!EndsWith(run.Status, "h : gesetzt\r") && !EndsWith(run.Status, "h : fehlen!\r"))
      run.Fail("status of a successful run does not end with the ID line");
  } else {
    if (r.ErrorMessage.empty() || r.ErrorMessage.size() > 80) run.Fail("error message empty or over 80 characters");
    if (r.ErrorMessage == kPhaseError) run.Fail("the passes disagree: phase error");
    if (reports != 1) run.Fail("not exactly one error report");
    std::string report = std::string(kReportMark) + r.ErrorMessage + " in\r\"" + r.ErrorFile + "\"  Zeile " +
                         std::to_string(r.ErrorLine) + " bei Pos " + std::to_string(r.ErrorColumn);
    if (!EndsWith(run.Status, report)) run.Fail("status does not end with the error report");
  }

  bool pass2 = !failed || r.FailedInPass2;
  if (!pass2) {
    // Pass 1 failed: nothing may have been created or written.
    if (run.Creates != 0 || run.HexWritten || run.PrnWritten || run.ReachedPass2)
      run.Fail("output files after a failed pass 1");
    return;
  }
  if (r.FailedInPass2 && r.ErrorMessage == kLabelNotFound) run.Fail("the passes disagree: label lost in pass 2");
  if (r.FailedInPass2 && run.Status.find(kWithErrors) == std::string::npos) run.Fail("pass-2 failure not shown");
  // Pass 2 must walk the same lines through the same states as pass 1, as
  // far as it got; after a successful run all the way.
  if (run.Pass2Lines.size() > run.Pass1Lines.size() || (!failed && run.Pass2Lines.size() != run.Pass1Lines.size()))
    run.Fail("the passes read different numbers of lines");
  for (std::size_t i = 0; i < run.Pass2Lines.size(); ++i)
    if (!(run.Pass2Lines[i] == run.Pass1Lines[i]))
      run.Fail("the passes disagree at line fetch " + std::to_string(i + 1) + " (line " +
               std::to_string(run.Pass2Lines[i].LineNumber) + ")");
  if (run.Creates != 2 || !run.HexWritten || !run.PrnWritten || !run.ReachedPass2)
    run.Fail("pass 2 without both output files");
  if (run.HeadBeforePass2 != kListingHead || !run.HexBeforePass2.empty())
    run.Fail("outputs before pass 2 hold more than the listing head");
  if (!HexFileValid(run.Hex, !failed, why)) run.Fail(why);
  std::string errorLine = failed ? std::string(kErrorPrefix) + r.ErrorMessage : std::string();
  if (!ListingValid(run.Prn, errorLine, why)) run.Fail(why);
}

void CheckSameRun(const TObservation& a, const TObservation& b) {
  const driver::TRunResult &x = a.Result, &y = b.Result;
  if (x.Outcome != y.Outcome || x.FailedInPass2 != y.FailedInPass2 || x.ErrorFile != y.ErrorFile ||
      x.ErrorLine != y.ErrorLine || x.ErrorColumn != y.ErrorColumn || x.ErrorMessage != y.ErrorMessage)
    b.Fail("second run of the same input ended differently");
  if (a.Status != b.Status || a.Hex != b.Hex || a.Prn != b.Prn || a.HexWritten != b.HexWritten ||
      a.PrnWritten != b.PrnWritten)
    b.Fail("second run of the same input wrote something else");
}

}  // namespace veltas::fuzz
