// The image's load configuration, whose one field of use here is DependentLoadFlags: Windows 10 and
// later then take the libraries that the program's own imports import from the system folder too,
// never from the program's. GNU ld does not fill the image's load configuration entry: the structure
// lies in a section of its own, which tools/set_load_config.py names in the entry after linking.
#include <windows.h>

namespace {

// IMAGE_LOAD_CONFIG_DIRECTORY up to the safe exception handler table, with the field that older
// headers call Reserved1 under its own name.
struct TLoadConfig {
    DWORD Size;
    DWORD TimeDateStamp;
    WORD MajorVersion, MinorVersion;
    DWORD GlobalFlagsClear, GlobalFlagsSet, CriticalSectionDefaultTimeout;
    ULONG_PTR DeCommitFreeBlockThreshold, DeCommitTotalFreeThreshold, LockPrefixTable, MaximumAllocationSize,
        VirtualMemoryThreshold;
#ifdef _WIN64
    ULONG_PTR ProcessAffinityMask;
    DWORD ProcessHeapFlags;
#else
    DWORD ProcessHeapFlags;
    ULONG_PTR ProcessAffinityMask;
#endif
    WORD CSDVersion;
    WORD DependentLoadFlags;
    ULONG_PTR EditList, SecurityCookie, SEHandlerTable, SEHandlerCount;
};
static_assert(sizeof(TLoadConfig) == sizeof(IMAGE_LOAD_CONFIG_DIRECTORY));

}  // namespace

extern "C" __attribute__((used, section(".lcfg"))) const TLoadConfig _load_config_used = {
    .Size = sizeof(TLoadConfig), .DependentLoadFlags = LOAD_LIBRARY_SEARCH_SYSTEM32};
