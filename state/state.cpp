#include "state/state.h"

namespace veltas::state {

std::string ErrorText;

bool FollowOnError = false;
int ErrorLimit = 1;

void SetError(std::string_view message) {
  ErrorText.assign(message.substr(0, MaxErrorLength));
  FollowOnError = false;
}

void SetFollowOnError(std::string_view message) {
  SetError(message);
  FollowOnError = true;
}

void ClearError() {
  ErrorText.clear();
  FollowOnError = false;
}

std::uint8_t CurrentSegment = SegCode;
std::uint16_t CodeCounter = 0;
std::uint16_t RamCounter = 0;
std::uint16_t CodeLength = 0;
std::uint16_t RamLength = 0;
bool CodeIsGap = false;
std::array<std::uint16_t, MaxCodeWords> CodeWords{};
int ListingKind = ListPlain;
bool PassActive = false;
std::string Mnemonic;
int CurrentEntry = 0;
bool HasConfigByte = false;
std::uint32_t ConfigByteAddress = 0;
std::uint8_t ConfigByteValue = 0;

std::uint32_t ConfigBase = 0x2000;
std::uint32_t HighestCodeAddress = 0;
bool IdWordsSeen = false;
bool FusesSeen = false;
bool Fuses2Seen = false;

}  // namespace veltas::state
