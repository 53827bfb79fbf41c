#include "VistaAudioControl.h"

#include <windows.h>
#include <endpointvolume.h>
#include <mmdeviceapi.h>
#include <objbase.h>

#include "ComApartment.h"
#include "ComPtr.h"

namespace {

const CLSID kMMDeviceEnumerator = {0xBCDE0395, 0xE52F, 0x467C, {0x8E, 0x3D, 0xC4, 0x57, 0x92, 0x91, 0x69, 0x2E}};
const IID kIMMDeviceEnumerator = {0xA95664D2, 0x9614, 0x4F35, {0xA7, 0x46, 0xDE, 0x8D, 0xB6, 0x36, 0x17, 0xE6}};
const IID kIAudioEndpointVolume = {0x5CDF2C82, 0x841E, 0x4546, {0x97, 0x22, 0x0C, 0xF7, 0x40, 0x78, 0x22, 0x9A}};

}  // namespace

int CVistaAudioControl::GetMute(int* out) {
    // COM for the length of one query, balanced whatever the thread had before.
    const ComApartment com;
    ComPtr<IMMDeviceEnumerator> enumerator;
    if (FAILED(CoCreateInstance(kMMDeviceEnumerator, nullptr, CLSCTX_INPROC_SERVER, kIMMDeviceEnumerator,
                                enumerator.put_void())))
        return -1;
    ComPtr<IMMDevice> device;
    if (FAILED(enumerator->GetDefaultAudioEndpoint(eRender, eConsole, device.put()))) return -1;
    ComPtr<IAudioEndpointVolume> volume;
    if (FAILED(device->Activate(kIAudioEndpointVolume, CLSCTX_ALL, nullptr, volume.put_void()))) return -1;
    BOOL muted = FALSE;
    if (FAILED(volume->GetMute(&muted))) return -1;
    *out = muted ? 1 : 0;
    return *out;
}
