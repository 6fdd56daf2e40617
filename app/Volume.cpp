#include "app/Volume.h"

#include "platform/media/MMSystem.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Strings.h"
#include "platform/shell/ShellApi.h"

std::string GetWeekDayDigit() {
  int day = DayOfWeek(Date()) - 1;  // 0 Sunday … 6 Saturday
  return day == 0 ? "7" : IntToStr(day);
}

void SetMixerVolume(uint16_t Value) {
  try {
    MIXERCONTROLDETAILS_UNSIGNED items[2] = {{Value}, {Value}};
    MIXERCONTROLDETAILS details{};
    details.cbStruct = 24;
    details.dwControlID = 0;
    details.cChannels = 2;
    details.cMultipleItems = 0;
    details.cbDetails = sizeof(MIXERCONTROLDETAILS_UNSIGNED);
    details.paDetails = items;
    mixerSetControlDetails(nullptr, &details, MIXER_SETCONTROLDETAILSF_VALUE | MIXER_OBJECTF_MIXER);
  } catch (const std::exception&) {
    // The loudness is best effort: a mixer that fails leaves the volume as it was.
  }
}

std::string GetMediaLengthText(const std::string& Path) {
  MCI_OPEN_PARMSA open{};
  open.lpstrElementName = Path.c_str();
  mciSendCommandA(0, MCI_OPEN, MCI_OPEN_ELEMENT, reinterpret_cast<uintptr_t>(&open));
  MCI_STATUS_PARMS status{};
  status.dwItem = MCI_STATUS_LENGTH;
  std::string text;
  if (mciSendCommandA(open.wDeviceID, MCI_STATUS, MCI_STATUS_ITEM, reinterpret_cast<uintptr_t>(&status)) == 0) {
    uint32_t ms = static_cast<uint32_t>(status.dwReturn);
    text = FormatDateTime("hh:mm:ss", ms / 1000.0 / 86400.0);
    text = text.substr(text.size() - 5);
  }
  mciSendCommandA(open.wDeviceID, MCI_CLOSE, 0, 0);
  return text;
}

bool DeleteToRecycleBin(const std::string& Path) {
  std::string from = Path;
  from.push_back('\0');  // the list ends with a second zero after the name's own
  SHFILEOPSTRUCTA op{};
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_ALLOWUNDO;
  return SHFileOperationA(&op) == 0;
}
