#pragma once
// The multimedia calls the program makes directly: the MCI command interface (used to read a
// file's length) and the mixer's control details (the master volume). Structures keep the
// platform's member names and order; handles and pointers are pointer-sized.
#include <cstdint>

using MCIERROR = uint32_t;
using MCIDEVICEID = uint32_t;
using MMRESULT = uint32_t;
using HMIXEROBJ = void*;

// MCI commands.
constexpr uint32_t MCI_OPEN = 0x0803;
constexpr uint32_t MCI_CLOSE = 0x0804;
constexpr uint32_t MCI_PLAY = 0x0806;
constexpr uint32_t MCI_SEEK = 0x0807;
constexpr uint32_t MCI_STOP = 0x0808;
constexpr uint32_t MCI_PAUSE = 0x0809;
constexpr uint32_t MCI_SET = 0x080D;
constexpr uint32_t MCI_STATUS = 0x0814;
constexpr uint32_t MCI_RESUME = 0x0855;

// Command flags.
constexpr uint32_t MCI_NOTIFY = 0x00000001;
constexpr uint32_t MCI_WAIT = 0x00000002;
constexpr uint32_t MCI_OPEN_SHAREABLE = 0x00000100;
constexpr uint32_t MCI_OPEN_ELEMENT = 0x00000200;
constexpr uint32_t MCI_OPEN_ALIAS = 0x00000400;
constexpr uint32_t MCI_OPEN_TYPE = 0x00002000;
constexpr uint32_t MCI_STATUS_ITEM = 0x00000100;

// Status items and their answers.
constexpr uint32_t MCI_STATUS_LENGTH = 0x00000001;
constexpr uint32_t MCI_STATUS_POSITION = 0x00000002;
constexpr uint32_t MCI_STATUS_MODE = 0x00000004;
constexpr uint32_t MCI_STATUS_TIME_FORMAT = 0x00000006;
constexpr uint32_t MCI_STATUS_READY = 0x00000007;
constexpr uint32_t MCI_MODE_NOT_READY = 524;
constexpr uint32_t MCI_MODE_STOP = 525;
constexpr uint32_t MCI_MODE_PLAY = 526;
constexpr uint32_t MCI_MODE_PAUSE = 529;
constexpr uint32_t MCI_FORMAT_MILLISECONDS = 0;

// MCI error codes (0 = success).
constexpr MCIERROR MCIERR_BASE = 256;
constexpr MCIERROR MCIERR_INVALID_DEVICE_ID = MCIERR_BASE + 1;
constexpr MCIERROR MCIERR_UNRECOGNIZED_COMMAND = MCIERR_BASE + 5;
constexpr MCIERROR MCIERR_HARDWARE = MCIERR_BASE + 6;
constexpr MCIERROR MCIERR_CANNOT_LOAD_DRIVER = MCIERR_BASE + 10;
constexpr MCIERROR MCIERR_MISSING_PARAMETER = MCIERR_BASE + 17;
constexpr MCIERROR MCIERR_UNSUPPORTED_FUNCTION = MCIERR_BASE + 18;
constexpr MCIERROR MCIERR_FILE_NOT_FOUND = MCIERR_BASE + 19;
constexpr MCIERROR MCIERR_DEVICE_NOT_READY = MCIERR_BASE + 20;
constexpr MCIERROR MCIERR_INTERNAL = MCIERR_BASE + 21;
constexpr MCIERROR MCIERR_BAD_TIME_FORMAT = MCIERR_BASE + 37;
constexpr MCIERROR MCIERR_INVALID_FILE = MCIERR_BASE + 40;
constexpr MCIERROR MCIERR_FILE_NOT_SAVED = MCIERR_BASE + 30;

struct MCI_GENERIC_PARMS {
  uintptr_t dwCallback;
};

struct MCI_OPEN_PARMSA {
  uintptr_t dwCallback;
  MCIDEVICEID wDeviceID;
  const char* lpstrDeviceType;
  const char* lpstrElementName;
  const char* lpstrAlias;
};

struct MCI_STATUS_PARMS {
  uintptr_t dwCallback;
  uintptr_t dwReturn;
  uint32_t dwItem;
  uint32_t dwTrack;
};

// Sends an MCI command to a device. The devices of this layer measure files: MCI_OPEN with
// MCI_OPEN_ELEMENT opens the named file (its length is read from the file, no sound output
// is opened; a failed open sets wDeviceID to 0), MCI_STATUS answers MCI_STATUS_LENGTH in milliseconds (also the position, 0,
// the mode, stopped, and the time format, milliseconds), MCI_CLOSE closes it. Other commands
// answer MCIERR_UNSUPPORTED_FUNCTION.
MCIERROR mciSendCommandA(MCIDEVICEID IDDevice, uint32_t uMsg, uintptr_t fdwCommand, uintptr_t dwParam);
// The text of an MCI error code; false for an unknown code.
bool mciGetErrorStringA(MCIERROR fdwError, char* lpszErrorText, uint32_t cchErrorText);

// Mixer results.
constexpr MMRESULT MMSYSERR_NOERROR = 0;
constexpr MMRESULT MMSYSERR_ERROR = 1;
constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;
constexpr MMRESULT MMSYSERR_INVALFLAG = 10;
constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
constexpr MMRESULT MIXERR_INVALCONTROL = 1024 + 1;

// Flags of mixerSetControlDetails: what is set, and what the first argument is.
constexpr uint32_t MIXER_SETCONTROLDETAILSF_VALUE = 0x00000000;
constexpr uint32_t MIXER_OBJECTF_MIXER = 0x00000000;

struct MIXERCONTROLDETAILS {
  uint32_t cbStruct;
  uint32_t dwControlID;
  uint32_t cChannels;
  union {
    void* hwndOwner;
    uint32_t cMultipleItems;
  };
  uint32_t cbDetails;
  void* paDetails;
};

struct MIXERCONTROLDETAILS_UNSIGNED {
  uint32_t dwValue;
};

// Sets the value of a mixer control. Mixer 0 (the first argument 0) has one control, 0: the
// master volume, one or two channels of MIXERCONTROLDETAILS_UNSIGNED, 0..65535 (larger values
// count as 65535). It goes to media::CurrentMixer().
MMRESULT mixerSetControlDetails(HMIXEROBJ hmxobj, MIXERCONTROLDETAILS* pmxcd, uint32_t fdwDetails);
