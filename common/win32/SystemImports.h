#pragma once
// The functions of winmm.dll and wtsapi32.dll that the agent uses. Neither is among
// Windows' known DLLs, so they are not imported (Windows would look for them beside
// hid.exe first) but taken from the system folder when first called. Without the DLL,
// each call fails as the function itself would.
#include <windows.h>
#include <mmsystem.h>

namespace system_imports {

MMRESULT TimeBeginPeriod(UINT period);
MMRESULT TimeEndPeriod(UINT period);

UINT MixerGetNumDevs();
MMRESULT MixerOpen(LPHMIXER mixer, UINT device, DWORD_PTR callback, DWORD_PTR instance, DWORD flags);
MMRESULT MixerClose(HMIXER mixer);
MMRESULT MixerGetLineInfoW(HMIXEROBJ mixer, LPMIXERLINEW line, DWORD flags);
MMRESULT MixerGetLineControlsW(HMIXEROBJ mixer, LPMIXERLINECONTROLSW controls, DWORD flags);
MMRESULT MixerGetControlDetailsW(HMIXEROBJ mixer, LPMIXERCONTROLDETAILS details, DWORD flags);

BOOL WTSRegisterSessionNotification(HWND window, DWORD flags);
BOOL WTSUnRegisterSessionNotification(HWND window);

}  // namespace system_imports
