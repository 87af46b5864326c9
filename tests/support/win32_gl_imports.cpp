// The recorder's hold on OpenGL in a Windows test program: the framework's calls to opengl32 and
// glu32 go through the program's import table (the headers declare them dllimport), so the
// entries for the watched names are pointed at the recorder, which keeps the old ones to hand on.
#include <windows.h>

#include <cstring>

#include "tests/support/gl_recorder.h"

namespace vantrel::test {

void take_gl_imports() {
  static bool done = false;
  if (done) return;
  done = true;
  auto *base = reinterpret_cast<BYTE *>(GetModuleHandleA(nullptr));
  auto *dos = reinterpret_cast<IMAGE_DOS_HEADER *>(base);
  auto *nt = reinterpret_cast<IMAGE_NT_HEADERS *>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY &dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  auto *imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR *>(base + dir.VirtualAddress);
  for (; imp->Name; imp++) {
    const char *dll = reinterpret_cast<const char *>(base + imp->Name);
    if (_stricmp(dll, "opengl32.dll") != 0 && _stricmp(dll, "glu32.dll") != 0) continue;
    DWORD names_rva = imp->OriginalFirstThunk ? imp->OriginalFirstThunk : imp->FirstThunk;
    auto *names = reinterpret_cast<IMAGE_THUNK_DATA *>(base + names_rva);
    auto *slots = reinterpret_cast<IMAGE_THUNK_DATA *>(base + imp->FirstThunk);
    for (; names->u1.AddressOfData; names++, slots++) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      auto *by_name = reinterpret_cast<IMAGE_IMPORT_BY_NAME *>(base + names->u1.AddressOfData);
      for (const gl_hook &h : gl_hooks()) {
        if (std::strcmp(reinterpret_cast<const char *>(by_name->Name), h.name) != 0) continue;
        DWORD old = 0;
        VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &old);
        *h.real = reinterpret_cast<void *>(slots->u1.Function);
        slots->u1.Function = reinterpret_cast<ULONG_PTR>(h.hook);
        VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old, &old);
      }
    }
  }
}

} // namespace vantrel::test
