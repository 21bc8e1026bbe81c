/* A module that exists only to carry the version record of VersionedModule.rc. */
__declspec(dllexport) int VersionedModuleMarker(void) { return 1; }
