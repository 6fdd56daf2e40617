#include "platform/media/MMSystem.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <string>

#include "platform/media/Engine.h"
#include "platform/media/Mixer.h"

namespace {

// Devices opened through MCI_OPEN: the measured length of each.
struct Devices {
  std::mutex lock;
  std::map<MCIDEVICEID, int64_t> lengths;
  MCIDEVICEID next = 1;
};

Devices& Table() {
  static Devices devices;
  return devices;
}

MCIERROR Open(uintptr_t flags, MCI_OPEN_PARMSA* parms) {
  if (!parms) return MCIERR_MISSING_PARAMETER;
  // A failed open leaves no device identifier behind that a later status call could reach.
  parms->wDeviceID = 0;
  if (!(flags & MCI_OPEN_ELEMENT) || !parms->lpstrElementName) return MCIERR_MISSING_PARAMETER;
  std::optional<int64_t> length;
  try {
    length = media::CurrentEngine().ProbeLengthMs(parms->lpstrElementName);
  } catch (const std::exception&) {
    length.reset();
  }
  if (!length) {
    struct stat st{};
    return stat(parms->lpstrElementName, &st) != 0 ? MCIERR_FILE_NOT_FOUND : MCIERR_INVALID_FILE;
  }
  std::lock_guard<std::mutex> g(Table().lock);
  MCIDEVICEID id = Table().next++;
  if (Table().next == 0) Table().next = 1;
  Table().lengths[id] = *length;
  parms->wDeviceID = id;
  return 0;
}

MCIERROR Status(MCIDEVICEID id, uintptr_t flags, MCI_STATUS_PARMS* parms) {
  std::lock_guard<std::mutex> g(Table().lock);
  auto it = Table().lengths.find(id);
  if (it == Table().lengths.end()) return MCIERR_INVALID_DEVICE_ID;
  if (!parms || !(flags & MCI_STATUS_ITEM)) return MCIERR_MISSING_PARAMETER;
  switch (parms->dwItem) {
    case MCI_STATUS_LENGTH:
      parms->dwReturn = static_cast<uint32_t>(std::min<int64_t>(it->second, UINT32_MAX));
      return 0;
    case MCI_STATUS_POSITION: parms->dwReturn = 0; return 0;
    case MCI_STATUS_MODE: parms->dwReturn = MCI_MODE_STOP; return 0;
    case MCI_STATUS_TIME_FORMAT: parms->dwReturn = MCI_FORMAT_MILLISECONDS; return 0;
    case MCI_STATUS_READY: parms->dwReturn = 1; return 0;
    default: return MCIERR_UNSUPPORTED_FUNCTION;
  }
}

MCIERROR Close(MCIDEVICEID id) {
  std::lock_guard<std::mutex> g(Table().lock);
  return Table().lengths.erase(id) ? 0 : MCIERR_INVALID_DEVICE_ID;
}

}  // namespace

MCIERROR mciSendCommandA(MCIDEVICEID IDDevice, uint32_t uMsg, uintptr_t fdwCommand, uintptr_t dwParam) {
  switch (uMsg) {
    case MCI_OPEN: return Open(fdwCommand, reinterpret_cast<MCI_OPEN_PARMSA*>(dwParam));
    case MCI_STATUS: return Status(IDDevice, fdwCommand, reinterpret_cast<MCI_STATUS_PARMS*>(dwParam));
    case MCI_CLOSE: return Close(IDDevice);
    case MCI_PLAY: case MCI_SEEK: case MCI_STOP: case MCI_PAUSE: case MCI_SET: case MCI_RESUME:
      return MCIERR_UNSUPPORTED_FUNCTION;
    default: return MCIERR_UNRECOGNIZED_COMMAND;
  }
}

bool mciGetErrorStringA(MCIERROR fdwError, char* lpszErrorText, uint32_t cchErrorText) {
  static const std::map<MCIERROR, const char*> texts = {
      {0, "The specified command was carried out."},
      {MCIERR_INVALID_DEVICE_ID, "Invalid MCI device ID. Use the ID returned when opening the MCI device."},
      {MCIERR_UNRECOGNIZED_COMMAND, "The driver cannot recognize the specified command."},
      {MCIERR_HARDWARE, "The sound output is not ready or cannot be used."},
      {MCIERR_CANNOT_LOAD_DRIVER, "The specified device driver cannot be loaded."},
      {MCIERR_MISSING_PARAMETER, "The specified command requires a parameter. Please supply one."},
      {MCIERR_UNSUPPORTED_FUNCTION, "The MCI device you are using does not support the specified command."},
      {MCIERR_FILE_NOT_FOUND, "Cannot find the specified file. Make sure the path and filename are correct."},
      {MCIERR_DEVICE_NOT_READY, "The device driver is not ready."},
      {MCIERR_INTERNAL, "An internal error occurred in the media layer."},
      {MCIERR_BAD_TIME_FORMAT, "The specified time format is not supported."},
      {MCIERR_INVALID_FILE, "The specified file cannot be played on the specified MCI device. "
                            "The file may be corrupt, or not in the correct format."},
  };
  auto it = texts.find(fdwError);
  if (lpszErrorText && cchErrorText > 0) {
    const char* text = it == texts.end() ? "Unknown MCI error." : it->second;
    std::size_t n = std::min<std::size_t>(std::strlen(text), cchErrorText - 1);
    std::memcpy(lpszErrorText, text, n);
    lpszErrorText[n] = '\0';
  }
  return it != texts.end();
}

MMRESULT mixerSetControlDetails(HMIXEROBJ hmxobj, MIXERCONTROLDETAILS* pmxcd, uint32_t fdwDetails) {
  if (hmxobj != nullptr) return MMSYSERR_BADDEVICEID;  // only mixer 0 exists
  if (fdwDetails != (MIXER_SETCONTROLDETAILSF_VALUE | MIXER_OBJECTF_MIXER)) return MMSYSERR_INVALFLAG;
  // The program fills the size of the record as its own platform laid it out (24 bytes).
  if (!pmxcd || pmxcd->cbStruct < 24 || !pmxcd->paDetails) return MMSYSERR_INVALPARAM;
  if (pmxcd->dwControlID != 0) return MIXERR_INVALCONTROL;
  if (pmxcd->cChannels < 1 || pmxcd->cChannels > 2 || pmxcd->cMultipleItems != 0 ||
      pmxcd->cbDetails != sizeof(MIXERCONTROLDETAILS_UNSIGNED))
    return MMSYSERR_INVALPARAM;
  auto* items = static_cast<const MIXERCONTROLDETAILS_UNSIGNED*>(pmxcd->paDetails);
  auto clamp = [](uint32_t v) { return static_cast<uint16_t>(std::min<uint32_t>(v, 65535)); };
  uint16_t left = clamp(items[0].dwValue);
  uint16_t right = pmxcd->cChannels == 2 ? clamp(items[1].dwValue) : left;
  try {
    return media::CurrentMixer().SetMasterVolume(left, right) ? MMSYSERR_NOERROR : MMSYSERR_ERROR;
  } catch (const std::exception&) {
    return MMSYSERR_ERROR;
  }
}
