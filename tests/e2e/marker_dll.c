/* A stand-in for a planted system library: when any process loads it, it
 * leaves a file named after its own path in the folder that
 * CC_E2E_MARKERS names, and does nothing else. */
#include <windows.h>

/* For rundll32, so a test can show that loading it does leave the marker. */
__declspec(dllexport) void CALLBACK Touch(HWND window, HINSTANCE instance, LPSTR line, int show) {
    (void)window; (void)instance; (void)line; (void)show;
}

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved) {
    (void)reserved;
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    wchar_t folder[MAX_PATH], path[MAX_PATH], marker[2 * MAX_PATH + 16];
    DWORD n = GetEnvironmentVariableW(L"CC_E2E_MARKERS", folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return TRUE;
    DWORD len = GetModuleFileNameW(self, path, MAX_PATH);
    if (len == 0 || len >= MAX_PATH) return TRUE;
    for (DWORD i = 0; i < len; ++i)
        if (path[i] == L'\\' || path[i] == L'/' || path[i] == L':') path[i] = L'_';
    lstrcpyW(marker, folder);
    lstrcatW(marker, L"\\");
    lstrcatW(marker, path);
    lstrcatW(marker, L".loaded");
    HANDLE file = CreateFileW(marker, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    return TRUE;
}
