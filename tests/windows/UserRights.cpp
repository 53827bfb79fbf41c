#include "UserRights.h"

bool IsElevated(HANDLE process) {
    UniqueKernelHandle token;
    if (!OpenProcessToken(process, TOKEN_QUERY, token.put())) return false;
    TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
    DWORD size = 0;
    return GetTokenInformation(token.get(), TokenElevationType, &type, sizeof(type), &size) &&
           type == TokenElevationTypeFull;
}

UniqueKernelHandle UnelevatedToken() {
    if (!IsElevated(GetCurrentProcess())) return {};
    UniqueKernelHandle own;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, own.put())) return {};
    TOKEN_LINKED_TOKEN linked{};
    DWORD size = 0;
    if (!GetTokenInformation(own.get(), TokenLinkedToken, &linked, sizeof(linked), &size)) return {};
    const UniqueKernelHandle limited(linked.LinkedToken);
    UniqueKernelHandle primary;
    if (!DuplicateTokenEx(limited.get(), TOKEN_ALL_ACCESS, nullptr, SecurityImpersonation, TokenPrimary, primary.put()))
        return {};
    return primary;
}
