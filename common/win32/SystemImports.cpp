#include "SystemImports.h"

#include "SystemLibraries.h"

namespace system_imports {

namespace {

constexpr wchar_t kWinmm[] = L"winmm.dll";
constexpr wchar_t kWtsapi[] = L"wtsapi32.dll";

// Looked up once, on first use, from the given DLL of the system folder.
template <class Function>
Function Lookup(const wchar_t* dll, const char* name) {
    return SystemFunction<Function>(dll, name);
}

}  // namespace

MMRESULT TimeBeginPeriod(UINT period) {
    static const auto function = Lookup<MMRESULT(WINAPI*)(UINT)>(kWinmm, "timeBeginPeriod");
    return function ? function(period) : TIMERR_NOCANDO;
}

MMRESULT TimeEndPeriod(UINT period) {
    static const auto function = Lookup<MMRESULT(WINAPI*)(UINT)>(kWinmm, "timeEndPeriod");
    return function ? function(period) : TIMERR_NOCANDO;
}

UINT MixerGetNumDevs() {
    static const auto function = Lookup<UINT(WINAPI*)()>(kWinmm, "mixerGetNumDevs");
    return function ? function() : 0;
}

MMRESULT MixerOpen(LPHMIXER mixer, UINT device, DWORD_PTR callback, DWORD_PTR instance, DWORD flags) {
    static const auto function =
        Lookup<MMRESULT(WINAPI*)(LPHMIXER, UINT, DWORD_PTR, DWORD_PTR, DWORD)>(kWinmm, "mixerOpen");
    return function ? function(mixer, device, callback, instance, flags) : MMSYSERR_NODRIVER;
}

MMRESULT MixerClose(HMIXER mixer) {
    static const auto function = Lookup<MMRESULT(WINAPI*)(HMIXER)>(kWinmm, "mixerClose");
    return function ? function(mixer) : MMSYSERR_INVALHANDLE;
}

MMRESULT MixerGetLineInfoW(HMIXEROBJ mixer, LPMIXERLINEW line, DWORD flags) {
    static const auto function = Lookup<MMRESULT(WINAPI*)(HMIXEROBJ, LPMIXERLINEW, DWORD)>(kWinmm, "mixerGetLineInfoW");
    return function ? function(mixer, line, flags) : MMSYSERR_NODRIVER;
}

MMRESULT MixerGetLineControlsW(HMIXEROBJ mixer, LPMIXERLINECONTROLSW controls, DWORD flags) {
    static const auto function =
        Lookup<MMRESULT(WINAPI*)(HMIXEROBJ, LPMIXERLINECONTROLSW, DWORD)>(kWinmm, "mixerGetLineControlsW");
    return function ? function(mixer, controls, flags) : MMSYSERR_NODRIVER;
}

MMRESULT MixerGetControlDetailsW(HMIXEROBJ mixer, LPMIXERCONTROLDETAILS details, DWORD flags) {
    static const auto function =
        Lookup<MMRESULT(WINAPI*)(HMIXEROBJ, LPMIXERCONTROLDETAILS, DWORD)>(kWinmm, "mixerGetControlDetailsW");
    return function ? function(mixer, details, flags) : MMSYSERR_NODRIVER;
}

BOOL WTSRegisterSessionNotification(HWND window, DWORD flags) {
    static const auto function = Lookup<BOOL(WINAPI*)(HWND, DWORD)>(kWtsapi, "WTSRegisterSessionNotification");
    return function ? function(window, flags) : FALSE;
}

BOOL WTSUnRegisterSessionNotification(HWND window) {
    static const auto function = Lookup<BOOL(WINAPI*)(HWND)>(kWtsapi, "WTSUnRegisterSessionNotification");
    return function ? function(window) : FALSE;
}

}  // namespace system_imports
